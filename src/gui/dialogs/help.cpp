#include "gui/dialogs/help.h"

#include "ui_help.h"

namespace gui {

namespace {

enum class Piece { Heading1, Heading2, Heading3, Line, Bullet };

struct HelpPiece {
    Piece kind;
    const char *text;
};

// The document, piece by piece, so that each sentence is translated on its own.
const HelpPiece helpPieces[] = {
    {Piece::Heading1, QT_TRANSLATE_NOOP("gui::Help", "TREES")},
    {Piece::Heading2, QT_TRANSLATE_NOOP("gui::Help", "TREE MODEL AND TERMS")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Tree is rendered using a geometrical model.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help", "Geometry is mainly modelled using branch thickness (strand) "
                                    "distribution and branching angles. One branch splits in major "
                                    "and minor subbranches.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Major branch is a thicker subbranch.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help", "Distribution is determined using Gravelius and Weibull orders.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Gravelius order is increased for every minor branch.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Weibull order is increased for every subbranch.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help", "Base trunk has Gravelius order 0 and Weibull increasing upwards.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Branching angle is angle between both subbranches.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help",
                       "Length of a branch is designed according to length of its successor branch.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help",
                       "Gravimorphism is gravity impact on branches to grow horizontally up or down.")},
    {Piece::Heading2, QT_TRANSLATE_NOOP("gui::Help", "USAGE INSTRUCTIONS")},
    {Piece::Bullet, QT_TRANSLATE_NOOP("gui::Help", "design tree strands distribution.")},
    {Piece::Bullet, QT_TRANSLATE_NOOP("gui::Help", "design tree branching angles.")},
    {Piece::Bullet,
     QT_TRANSLATE_NOOP("gui::Help", "modify branch lengths and perhaps apply some gravimorphism.")},
    {Piece::Bullet, QT_TRANSLATE_NOOP("gui::Help", "edit aditional advanced properties.")},
    {Piece::Heading2, QT_TRANSLATE_NOOP("gui::Help", "NAVIGATION")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Camera is navigated trough mouse and keyboard:")},
    {Piece::Bullet, QT_TRANSLATE_NOOP("gui::Help", "left button+move: moves camera.")},
    {Piece::Bullet, QT_TRANSLATE_NOOP("gui::Help", "right button+move: rotates camera.")},
    {Piece::Bullet,
     QT_TRANSLATE_NOOP("gui::Help", "keys (shift+)up/down/left/right: move the tree up/down/left/right.")},
    {Piece::Bullet, QT_TRANSLATE_NOOP("gui::Help", "ESC key: resets view.")},
    {Piece::Heading2, QT_TRANSLATE_NOOP("gui::Help", "MENUS")},
    {Piece::Heading3, QT_TRANSLATE_NOOP("gui::Help", "FILE MENU")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help", "Save parameters: saves customizable tree parameters in a file.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help", "Load parameters: loads customizable tree parameters in a file.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help", "Export image: exports image in a raster image (BMP, JPEG, GIF, PNG).")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help",
                       "Export as points: exports tree geometry to file as collection of quads.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Quit: exits application.")},
    {Piece::Heading3, QT_TRANSLATE_NOOP("gui::Help", "VIEW MENU")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Display leaves: toggles tree leaves display.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help", "High quality rendering: toggles high/low resolution for rendering.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help", "Color uppon G,W: colors every G/W branch level in different color.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Wireframe: toggles wireframe/texture rendering.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Lighting enabled: enables lighting effect.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Reset view: resets camera view to original.")},
    {Piece::Heading3, QT_TRANSLATE_NOOP("gui::Help", "PROPERTIES")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help", "Design strand distribution: determines major branch thickness.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help", "Design branching angles: determines angles between subbranches.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help", "Design branch length: determines characteristic branch length.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Design branch scaling: determines branch length scaling.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help",
                       "Design gravimorphism impact distribution: determines gravimorphism impact.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Advanced properties:")},
    {Piece::Bullet,
     QT_TRANSLATE_NOOP("gui::Help", "Tree age: determines tree age, tree complexity, base trunk thickness.")},
    {Piece::Bullet, QT_TRANSLATE_NOOP("gui::Help", "Trunk height: determines base trunk height.")},
    {Piece::Bullet,
     QT_TRANSLATE_NOOP("gui::Help",
                       "Branch relative thickness per strand: coefficient for branch thickness.")},
    {Piece::Bullet, QT_TRANSLATE_NOOP("gui::Help", "Gravicentralism: central trunk uprightness.")},
    {Piece::Bullet, QT_TRANSLATE_NOOP("gui::Help", "Phyllotaxis angle: branch rotation along the trunk.")},
    {Piece::Bullet,
     QT_TRANSLATE_NOOP("gui::Help",
                       "Leaf type: 0 - SPIRAL, 1 - STACKED, 2 - STAGGERED, 3 - BUNCHED, 4 - CONIFEROUS.")},
    {Piece::Bullet, QT_TRANSLATE_NOOP("gui::Help", "Leaf density: number of leaves on a final branch.")},
    {Piece::Bullet, QT_TRANSLATE_NOOP("gui::Help", "Leaf size: leaf size.")},
    {Piece::Bullet, QT_TRANSLATE_NOOP("gui::Help", "Wind speed: speed of the blowing wind.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Enlarge leaf size: enlarges leaf size for 10%.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Reduce leaf size: reduces leaf size for 10%.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Set bark texture: loads bark texture.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Set leaf texture: loads leaf texture.")},
    {Piece::Heading3, QT_TRANSLATE_NOOP("gui::Help", "ANIMATION")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Grow: simulates tree growth.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Orbit around: the tree spins around by itself.")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "Wind sway: wind impact simulation.")},
    {Piece::Heading3, QT_TRANSLATE_NOOP("gui::Help", "HELP")},
    {Piece::Line, QT_TRANSLATE_NOOP("gui::Help", "About: this window.")},
    {Piece::Heading1, QT_TRANSLATE_NOOP("gui::Help", "ECOSYSTEM")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help",
                       "Ecosystem is modeled according to loded terrain vertex data. After data is loaded, "
                       "terrain simulations take place to calculate terrain normals, terrain slope, terrain "
                       "sunniness, terrain windiness and terrain moisture.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help", "After starting the simulation trees start to grow on terrain. Trees "
                                    "compete with each other for space and food.")},
    {Piece::Line,
     QT_TRANSLATE_NOOP("gui::Help",
                       "Camera in this mode is used following: Forward moves forward, Backward moves "
                       "backward, left/right looks left/right, home/end looks up/down, delete/page down "
                       "strafes left/right. Insert/PageUp rolls left/right. Backspace moves down and Đ "
                       "moves up.")},
};

} // namespace

Help::Help(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::Help>())
{
    ui->setupUi(this);
    ui->textBrowser->setHtml(document());
}

Help::~Help() = default;

QString Help::document()
{
    QString html = QStringLiteral("<html><body>");
    QString lines;
    QString bullets;
    // Consecutive lines form one paragraph and consecutive bullets one list.
    auto flush = [&] {
        if (!lines.isEmpty())
            html += QStringLiteral("<p>") + lines + QStringLiteral("</p>");
        if (!bullets.isEmpty())
            html += QStringLiteral("<ul>") + bullets + QStringLiteral("</ul>");
        lines.clear();
        bullets.clear();
    };
    for (const HelpPiece &piece : helpPieces) {
        const QString text = tr(piece.text).toHtmlEscaped();
        switch (piece.kind) {
        case Piece::Heading1:
            flush();
            html += QStringLiteral("<h2>") + text + QStringLiteral("</h2>");
            break;
        case Piece::Heading2:
            flush();
            html += QStringLiteral("<h3>") + text + QStringLiteral("</h3>");
            break;
        case Piece::Heading3:
            flush();
            html += QStringLiteral("<h4>") + text + QStringLiteral("</h4>");
            break;
        case Piece::Line:
            if (!bullets.isEmpty())
                flush();
            lines += (lines.isEmpty() ? QString() : QStringLiteral("<br>")) + text;
            break;
        case Piece::Bullet:
            if (!lines.isEmpty()) {
                html += QStringLiteral("<p>") + lines + QStringLiteral("</p>");
                lines.clear();
            }
            bullets += QStringLiteral("<li>") + text + QStringLiteral("</li>");
            break;
        }
    }
    flush();
    return html + QStringLiteral("</body></html>");
}

} // namespace gui
