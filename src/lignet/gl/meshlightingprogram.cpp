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

bool anyColour(const std::array<GLfloat, 4> &c)
{
    return c[0] != 0.0f || c[1] != 0.0f || c[2] != 0.0f;
}

std::array<GLfloat, 4> lightValue(int light, GLenum which)
{
    std::array<GLfloat, 4> v{};
    glGetLightfv(static_cast<GLenum>(GL_LIGHT0 + light), which, v.data());
    return v;
}

// One light's share of a side's colour; `side` is "Front" or "Back", `n` the normal of that side.
std::string lightTerm(const LightingVariant &v, int i, const char *side, const char *n)
{
    const std::string light = "gl_LightSource[" + std::to_string(i) + "]";
    const std::string product = std::string("gl_") + side + "LightProduct[" + std::to_string(i) + "]";
    const bool weighted = ((v.attenuated | v.spot) >> i) & 1;
    std::string term = std::string("    ") + (side[0] == 'F' ? "front" : "back") +
                       " += " + (weighted ? "weight" + std::to_string(i) + " * " : "") + "(" + product +
                       ".ambient + max(dot(" + n + ", l" + std::to_string(i) + "), 0.0) * gl_Color * " +
                       light + ".diffuse";
    if (v.specular)
        term += " + (dot(" + std::string(n) + ", l" + std::to_string(i) + ") > 0.0 ? pow(max(dot(" + n +
                ", normalize(l" + std::to_string(i) + " + vec3(0.0, 0.0, 1.0))), 0.0), gl_" + side +
                "Material.shininess) : 0.0) * " + product + ".specular";
    return term + ");\n";
}

} // namespace

LightingVariant LightingVariant::ofCurrentState()
{
    LightingVariant v;
    v.lighting = glIsEnabled(GL_LIGHTING) == GL_TRUE;
    if (!v.lighting)
        return v;
    GLint twoSided = 0;
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSided);
    v.twoSided = twoSided != 0;
    std::array<GLfloat, 4> front{};
    std::array<GLfloat, 4> back{};
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, front.data());
    glGetMaterialfv(GL_BACK, GL_SPECULAR, back.data());
    const bool materialSpecular = anyColour(front) || anyColour(back);
    for (int i = 0; i < 8; ++i) {
        if (!glIsEnabled(static_cast<GLenum>(GL_LIGHT0 + i)))
            continue;
        const bool specular = materialSpecular && anyColour(lightValue(i, GL_SPECULAR));
        if (!anyColour(lightValue(i, GL_AMBIENT)) && !anyColour(lightValue(i, GL_DIFFUSE)) && !specular)
            continue;
        const auto bit = static_cast<std::uint8_t>(1u << i);
        v.lights |= bit;
        v.specular |= specular;
        if (lightValue(i, GL_POSITION)[3] == 0.0f)
            continue;
        v.positional |= bit;
        const bool plain = lightValue(i, GL_CONSTANT_ATTENUATION)[0] == 1.0f &&
                           lightValue(i, GL_LINEAR_ATTENUATION)[0] == 0.0f &&
                           lightValue(i, GL_QUADRATIC_ATTENUATION)[0] == 0.0f;
        if (!plain)
            v.attenuated |= bit;
        if (lightValue(i, GL_SPOT_CUTOFF)[0] != 180.0f)
            v.spot |= bit;
    }
    return v;
}

std::string meshVertexShaderSource(const LightingVariant &v)
{
    std::string s = R"(#version 120
attribute vec4 instance;
attribute float corner;
uniform vec4 viewport;

void main()
{
    // As glTranslatef before the draw would: the placement goes into the modelview first.
    vec4 eye = gl_ModelViewMatrix * vec4(instance.xyz, 1.0) + gl_ModelViewMatrix * vec4(gl_Vertex.xyz * instance.w, 0.0);
    gl_Position = gl_ProjectionMatrix * eye;
    if (corner > 0.5 && gl_Position.w > 0.0) {
        vec2 pixel = floor((gl_Position.xy / gl_Position.w * 0.5 + 0.5) * viewport.zw + viewport.xy);
        vec2 offset = corner < 1.5 ? vec2(0.25, 0.25) : (corner < 2.5 ? vec2(1.0, 0.25) : vec2(0.25, 1.0));
        gl_Position.xy = ((pixel + offset - viewport.xy) / viewport.zw * 2.0 - 1.0) * gl_Position.w;
    }
    gl_TexCoord[0] = gl_MultiTexCoord0;
)";
    if (!v.lighting)
        return s + "    gl_FrontColor = gl_Color;\n    gl_BackColor = gl_Color;\n}\n";
    s += "    vec3 n = gl_NormalMatrix * gl_Normal;\n";
    s += "    vec4 front = gl_FrontLightModelProduct.sceneColor;\n";
    if (v.twoSided)
        s += "    vec4 back = gl_BackLightModelProduct.sceneColor;\n";
    if (v.positional)
        s += "    vec3 position = eye.xyz / eye.w;\n";
    for (int i = 0; i < 8; ++i) {
        if (!((v.lights >> i) & 1))
            continue;
        const std::string k = std::to_string(i);
        const std::string light = "gl_LightSource[" + k + "]";
        if ((v.positional >> i) & 1) {
            s += "    vec3 toLight" + k + " = " + light + ".position.xyz / " + light +
                 ".position.w - position;\n";
            s += "    float distance" + k + " = length(toLight" + k + ");\n";
            s += "    vec3 l" + k + " = toLight" + k + " / distance" + k + ";\n";
            if (((v.attenuated | v.spot) >> i) & 1)
                s += "    float weight" + k + " = 1.0;\n";
            if ((v.attenuated >> i) & 1)
                s += "    weight" + k + " = 1.0 / (" + light + ".constantAttenuation + " + light +
                     ".linearAttenuation * distance" + k + " + " + light +
                     ".quadraticAttenuation * distance" + k + " * distance" + k + ");\n";
            if ((v.spot >> i) & 1) {
                s += "    float spot" + k + " = dot(-l" + k + ", normalize(" + light + ".spotDirection));\n";
                s += "    weight" + k + " *= spot" + k + " >= " + light + ".spotCosCutoff ? pow(max(spot" +
                     k + ", 0.0), " + light + ".spotExponent) : 0.0;\n";
            }
        } else {
            s += "    vec3 l" + k + " = normalize(" + light + ".position.xyz);\n";
        }
        s += lightTerm(v, i, "Front", "n");
        if (v.twoSided)
            s += lightTerm(v, i, "Back", "-n");
    }
    s += "    front.a = gl_Color.a;\n    gl_FrontColor = clamp(front, 0.0, 1.0);\n";
    if (v.twoSided)
        s += "    back.a = gl_Color.a;\n    gl_BackColor = clamp(back, 0.0, 1.0);\n";
    else
        s += "    gl_BackColor = gl_FrontColor;\n";
    return s + "}\n";
}

MeshLightingProgram::Program *MeshLightingProgram::programFor(const LightingVariant &variant)
{
    auto found = m_programs.find(variant);
    if (found != m_programs.end())
        return found->second.program ? &found->second : nullptr;
    Program &p = m_programs[variant];
    p.program = std::make_unique<QOpenGLShaderProgram>();
    const std::string vertex = meshVertexShaderSource(variant);
    bool ok = p.program->addShaderFromSourceCode(QOpenGLShader::Vertex, vertex.c_str()) &&
              p.program->addShaderFromSourceCode(QOpenGLShader::Fragment, FragmentSource);
    if (ok) {
        p.program->bindAttributeLocation("instance", InstanceAttribute);
        p.program->bindAttributeLocation("corner", CornerAttribute);
        ok = p.program->link();
    }
    m_log = p.program->log();
    if (!ok) {
        p.program.reset();
        return nullptr;
    }
    p.textured = p.program->uniformLocation("textured");
    p.viewport = p.program->uniformLocation("viewport");
    p.program->bind();
    p.program->setUniformValue("texture0", 0);
    p.program->release();
    return &p;
}

bool MeshLightingProgram::create()
{
    return programFor(LightingVariant::ofCurrentState()) != nullptr;
}

bool MeshLightingProgram::bind()
{
    const LightingVariant variant = LightingVariant::ofCurrentState();
    m_bound = programFor(variant);
    if (!m_bound)
        return false;
    m_bound->program->bind();
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    m_bound->program->setUniformValue(m_bound->viewport, static_cast<GLfloat>(viewport[0]),
                                      static_cast<GLfloat>(viewport[1]), static_cast<GLfloat>(viewport[2]),
                                      static_cast<GLfloat>(viewport[3]));
    if (variant.twoSided)
        glEnable(GL_VERTEX_PROGRAM_TWO_SIDE);
    else
        glDisable(GL_VERTEX_PROGRAM_TWO_SIDE);
    return true;
}

void MeshLightingProgram::setTextured(bool textured)
{
    if (m_bound)
        QOpenGLContext::currentContext()->functions()->glUniform1i(m_bound->textured, textured ? 1 : 0);
}

void MeshLightingProgram::release()
{
    glDisable(GL_VERTEX_PROGRAM_TWO_SIDE);
    if (m_bound)
        m_bound->program->release();
    m_bound = nullptr;
}

} // namespace lignet::gl
