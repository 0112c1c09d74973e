#include "lignet/gl/meshlightingprogram.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <GL/gl.h>

#include <array>

#ifndef GL_VERTEX_PROGRAM_TWO_SIDE
#define GL_VERTEX_PROGRAM_TWO_SIDE 0x8643
#endif

namespace lignet::gl {

namespace {

// The lighting equation of OpenGL 2.1, section 2.14.1, for colour material on the diffuse term.
const char *const VertexSource = R"(#version 120
attribute vec4 instance;
uniform bool lighting;
uniform bool lightOn[8];

vec4 shade(vec3 eye, vec3 n, vec4 diffuse)
{
    vec4 c = gl_FrontMaterial.emission + gl_FrontMaterial.ambient * gl_LightModel.ambient;
    for (int i = 0; i < 8; ++i) {
        if (!lightOn[i])
            continue;
        vec4 p = gl_LightSource[i].position;
        vec3 l;
        float attenuation = 1.0;
        if (p.w != 0.0) {
            vec3 toLight = p.xyz / p.w - eye;
            float d = length(toLight);
            l = toLight / d;
            attenuation = 1.0 / (gl_LightSource[i].constantAttenuation + gl_LightSource[i].linearAttenuation * d +
                                 gl_LightSource[i].quadraticAttenuation * d * d);
            if (gl_LightSource[i].spotCutoff != 180.0) {
                float spot = dot(-l, normalize(gl_LightSource[i].spotDirection));
                attenuation *= spot >= gl_LightSource[i].spotCosCutoff
                                   ? pow(max(spot, 0.0), gl_LightSource[i].spotExponent) : 0.0;
            }
        } else {
            l = normalize(p.xyz);
        }
        vec4 term = gl_FrontMaterial.ambient * gl_LightSource[i].ambient;
        float nl = dot(n, l);
        if (nl > 0.0) {
            term += nl * diffuse * gl_LightSource[i].diffuse;
            float nh = max(dot(n, normalize(l + vec3(0.0, 0.0, 1.0))), 0.0);
            if (nh > 0.0)
                term += pow(nh, gl_FrontMaterial.shininess) * gl_FrontMaterial.specular * gl_LightSource[i].specular;
        }
        c += attenuation * term;
    }
    c.a = diffuse.a;
    return clamp(c, 0.0, 1.0);
}

void main()
{
    // As glTranslatef before the draw would: the placement goes into the modelview first.
    vec4 eye = gl_ModelViewMatrix * vec4(instance.xyz, 1.0) + gl_ModelViewMatrix * vec4(gl_Vertex.xyz * instance.w, 0.0);
    gl_Position = gl_ProjectionMatrix * eye;
    vec3 n = gl_NormalMatrix * gl_Normal;
    if (lighting) {
        gl_FrontColor = shade(eye.xyz / eye.w, n, gl_Color);
        gl_BackColor = shade(eye.xyz / eye.w, -n, gl_Color);
    } else {
        gl_FrontColor = gl_Color;
        gl_BackColor = gl_Color;
    }
    gl_TexCoord[0] = gl_MultiTexCoord0;
}
)";

const char *const FragmentSource = R"(#version 120
uniform bool textured;
uniform sampler2D texture0;

void main()
{
    vec4 c = gl_Color;
    if (textured)
        c *= texture2D(texture0, gl_TexCoord[0].st);
    gl_FragColor = c;
}
)";

} // namespace

bool MeshLightingProgram::create()
{
    if (isCreated())
        return true;
    m_program = std::make_unique<QOpenGLShaderProgram>();
    bool ok = m_program->addShaderFromSourceCode(QOpenGLShader::Vertex, VertexSource) &&
              m_program->addShaderFromSourceCode(QOpenGLShader::Fragment, FragmentSource);
    if (ok) {
        m_program->bindAttributeLocation("instance", InstanceAttribute);
        ok = m_program->link();
    }
    m_log = m_program->log();
    if (!ok) {
        m_program.reset();
        return false;
    }
    m_lighting = m_program->uniformLocation("lighting");
    m_lightOn = m_program->uniformLocation("lightOn");
    m_textured = m_program->uniformLocation("textured");
    m_program->bind();
    m_program->setUniformValue("texture0", 0);
    m_program->release();
    return true;
}

void MeshLightingProgram::bind()
{
    m_program->bind();
    std::array<GLint, 8> on{};
    for (int i = 0; i < 8; ++i)
        on[static_cast<std::size_t>(i)] = glIsEnabled(static_cast<GLenum>(GL_LIGHT0 + i)) ? 1 : 0;
    QOpenGLFunctions *f = QOpenGLContext::currentContext()->functions();
    f->glUniform1iv(m_lightOn, 8, on.data());
    f->glUniform1i(m_lighting, glIsEnabled(GL_LIGHTING) ? 1 : 0);
    GLint twoSided = 0;
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSided);
    if (twoSided)
        glEnable(GL_VERTEX_PROGRAM_TWO_SIDE);
    else
        glDisable(GL_VERTEX_PROGRAM_TWO_SIDE);
}

void MeshLightingProgram::setTextured(bool textured)
{
    QOpenGLContext::currentContext()->functions()->glUniform1i(m_textured, textured ? 1 : 0);
}

void MeshLightingProgram::release()
{
    glDisable(GL_VERTEX_PROGRAM_TWO_SIDE);
    m_program->release();
}

} // namespace lignet::gl
