#pragma once

#include <QOpenGLShaderProgram>

#include <memory>

namespace lignet::gl {

// A compatibility-profile shader program that draws tree meshes as the fixed-function pipeline
// does, plus one translation and scale per instance: per-vertex lighting from the built-in light,
// material and light-model state (emission, ambient, diffuse from the vertex colour as colour
// material does, specular, attenuation and spot cones; infinite viewer), front and back colours
// for two-sided lighting, GL_MODULATE texturing from unit 0, no fog. Which lights are on and
// whether lighting and two-sided lighting are on is read from the current state by bind().
class MeshLightingProgram {
public:
    // Attribute location of the per-instance vec4: xyz the position, w the scale.
    static constexpr int InstanceAttribute = 6;

    // Compiles and links with a context current; false (with log()) when the context cannot.
    bool create();
    bool isCreated() const { return m_program && m_program->isLinked(); }
    QString log() const { return m_log; }

    // Binds the program with the lighting state of the current context: lights 0 to 7 on or off,
    // lighting on or off, two-sided lighting (GL_VERTEX_PROGRAM_TWO_SIDE follows it).
    void bind();
    void setTextured(bool textured);
    // Unbinds and switches GL_VERTEX_PROGRAM_TWO_SIDE off again.
    void release();
    // Frees the program; a context of its share group must be current.
    void destroy() { m_program.reset(); }

private:
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    QString m_log;
    int m_lighting = -1;
    int m_lightOn = -1;
    int m_textured = -1;
};

} // namespace lignet::gl
