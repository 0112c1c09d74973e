#pragma once

#include <QOpenGLShaderProgram>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace lignet::gl {

// What the lighting of the current OpenGL state asks of a vertex shader; one compiled program per
// distinct variant. Lights whose ambient, diffuse and specular colours are all black add exactly
// nothing and are left out, as are terms that are zero (specular, attenuation, spot cones).
struct LightingVariant {
    bool lighting = false;
    bool twoSided = false;
    bool specular = false;       // the material reflects specular light
    std::uint8_t lights = 0;     // bit i: light i is on and has some colour
    std::uint8_t positional = 0; // bit i: light i has w != 0
    std::uint8_t attenuated = 0; // bit i: positional with attenuation other than (1, 0, 0)
    std::uint8_t spot = 0;       // bit i: positional with a cut-off below 180 degrees

    auto operator<=>(const LightingVariant &) const = default;

    // The variant of the current context's state.
    static LightingVariant ofCurrentState();
};

// The GLSL 1.20 vertex shader of a variant: the lighting equation of OpenGL 2.1 (section 2.14.1)
// with colour material on the diffuse term, an infinite viewer, per-instance placement. The
// corners of a leaf point's triangle go around the centre of the pixel the point falls in, where
// a point of size 1.4 (rounded to one pixel) is drawn, close enough to cover that pixel's centre
// and no other.
std::string meshVertexShaderSource(const LightingVariant &variant);

// Compatibility-profile shader programs that draw tree meshes as the fixed-function pipeline does,
// plus one translation and scale per instance: per-vertex lighting from the built-in light,
// material and light-model state, front and back colours for two-sided lighting, GL_MODULATE
// texturing from unit 0, no fog. bind() picks (and on first use compiles) the program for the
// current lighting state, unrolled for the lights that matter, so it costs no more per vertex than
// the fixed-function pipeline.
class MeshLightingProgram {
public:
    // Attribute location of the per-instance vec4: xyz the position, w the scale.
    static constexpr int InstanceAttribute = 6;
    // Attribute location of a vertex's leaf point corner (TreeMesh::pointCorners, 0 for none).
    static constexpr int CornerAttribute = 7;

    // Compiles the program of the current state with a context current; false (with log()) when
    // the context cannot.
    bool create();
    QString log() const { return m_log; }

    // Binds the program of the current lighting state, for the current viewport;
    // GL_VERTEX_PROGRAM_TWO_SIDE follows the two-sided light model. False when it cannot be compiled.
    bool bind();
    void setTextured(bool textured);
    // Unbinds and switches GL_VERTEX_PROGRAM_TWO_SIDE off again.
    void release();
    // Frees the programs; a context of their share group must be current.
    void destroy() { m_programs.clear(); }

private:
    struct Program {
        std::unique_ptr<QOpenGLShaderProgram> program;
        int textured = -1;
        int viewport = -1;
    };
    Program *programFor(const LightingVariant &variant);

    std::map<LightingVariant, Program> m_programs;
    Program *m_bound = nullptr;
    QString m_log;
};

} // namespace lignet::gl
