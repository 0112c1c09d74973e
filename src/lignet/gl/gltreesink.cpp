#include "lignet/gl/gltreesink.h"

#include "lignet/treedrawsettings.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <memory>

namespace lignet::gl {

GLUquadric *treeQuadric()
{
    static const std::unique_ptr<GLUquadric, void (*)(GLUquadric *)> quadric = [] {
        std::unique_ptr<GLUquadric, void (*)(GLUquadric *)> made(gluNewQuadric(), gluDeleteQuadric);
        if (made) {
            gluQuadricDrawStyle(made.get(), GLU_FILL);
            gluQuadricTexture(made.get(), GL_TRUE);
        }
        return made;
    }();
    return quadric.get();
}

void applyTreeDrawingState(bool wireframe)
{
    if (wireframe) {
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

GlTreeSink::GlTreeSink(const TreeDrawSettings &settings, const TreeTextures &textures)
    : m_settings(settings), m_textures(textures)
{
}

void GlTreeSink::beginTree(const TreeDrawSettings &settings)
{
    applyTreeDrawingState(settings.wireframe);
}

void GlTreeSink::branchColour(const std::array<float, 3> &rgb)
{
    glColor3fv(rgb.data());
}

void GlTreeSink::segment(const math::Mat4 &frame, const TreeSegment &segment)
{
    glPushMatrix();
    glMultMatrixf(frame.data());
    drawSegment(segment.length, segment.baseRadius, segment.topRadius);
    glPopMatrix();
    if (m_counters == nullptr)
        return;
    if (m_settings.wireframe) {
        m_counters->lines += 8;
        m_counters->drawCalls += 1;
    } else if (m_settings.levelOfDetail <= 5) {
        const bool fine = m_settings.highQuality && m_settings.levelOfDetail == 0;
        const std::uint64_t slices = fine ? 10 : 5;
        const std::uint64_t stacks = fine ? 5 : 1;
        m_counters->triangles += 2 * slices * stacks;
        m_counters->drawCalls += stacks;
    } else {
        m_counters->lines += 1;
        m_counters->drawCalls += 1;
    }
}

void GlTreeSink::drawSegment(double length, double baseRadius, double topRadius) const
{
    const float l = static_cast<float>(length);
    const float rb = static_cast<float>(baseRadius);
    const float rt = static_cast<float>(topRadius);
    if (m_settings.wireframe) {
        glColor3f(0.0f, 0.0f, 0.0f);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glBegin(GL_QUAD_STRIP);
        glVertex3f(-rb, 0.0f, -rb);
        glVertex3f(-rt, l, -rt);
        glVertex3f(rb, 0.0f, -rb);
        glVertex3f(rt, l, -rt);
        glVertex3f(rb, 0.0f, rb);
        glVertex3f(rt, l, rt);
        glVertex3f(-rb, 0.0f, rb);
        glVertex3f(-rt, l, rt);
        glVertex3f(-rb, 0.0f, -rb);
        glVertex3f(-rt, l, -rt);
        glEnd();
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        return;
    }
    if (m_settings.levelOfDetail <= 5) {
        // The cylinder runs along its +z; turn that onto the branch's +y.
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
        glBindTexture(GL_TEXTURE_2D, m_textures.bark);
        if (m_settings.highQuality && m_settings.levelOfDetail == 0)
            gluCylinder(treeQuadric(), baseRadius, topRadius, length, 10, 5);
        else
            gluCylinder(treeQuadric(), baseRadius, topRadius, length, 5, 1);
        return;
    }
    glBindTexture(GL_TEXTURE_2D, m_textures.bark);
    glBegin(GL_LINES);
    glTexCoord1f(0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glTexCoord1f(1.0f);
    glVertex3f(0.0f, l, 0.0f);
    glEnd();
}

void GlTreeSink::branchEnd(const math::Mat4 &, const TreeBranchEnd &end)
{
    if (end.leavesShown)
        glColor3f(1.0f, 1.0f, 1.0f);
}

void GlTreeSink::leafGroup(const math::Mat4 &, int)
{
    glBindTexture(GL_TEXTURE_2D, m_textures.leaf);
}

void GlTreeSink::leafOutline(const math::Mat4 &frame, const std::vector<math::Vector3f> &loop)
{
    glPushMatrix();
    glMultMatrixf(frame.data());
    glBegin(GL_LINE_LOOP);
    for (const auto &p : loop)
        glVertex3f(p.x, p.y, p.z);
    glEnd();
    glPopMatrix();
    if (m_counters != nullptr) {
        m_counters->lines += loop.size();
        m_counters->drawCalls += 1;
    }
}

void GlTreeSink::leaf(const math::Mat4 &frame, const TreeLeaf &leaf)
{
    glPushMatrix();
    glMultMatrixf(frame.data());
    drawLeaf(leaf.size);
    glPopMatrix();
    if (m_counters == nullptr)
        return;
    if (m_settings.levelOfDetail <= 11) {
        m_counters->triangles += 4;
        m_counters->drawCalls += 1;
    }
    m_counters->points += 1;
    m_counters->drawCalls += 1;
}

void GlTreeSink::drawLeaf(float leafSize) const
{
    // Half brightness over the leaf texture, blended at 80 % opacity.
    glColor4f(0.5f, 0.5f, 0.5f, 0.8f);
    if (m_settings.levelOfDetail <= 11) {
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
        gluDisk(treeQuadric(), 0.0, leafSize, 4, 1);
        glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    }
    glPointSize(1.4f);
    glBegin(GL_POINTS);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glEnd();
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
}

} // namespace lignet::gl
