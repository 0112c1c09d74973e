#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class PixmapExportDialog;
}

namespace gui {

// Size and quality of an exported image, read by the custom-resolution export.
class PixmapExportDialog : public QDialog {
    Q_OBJECT

public:
    explicit PixmapExportDialog(QWidget *parent = nullptr);
    ~PixmapExportDialog() override;

    int pixmapWidth() const;
    int pixmapHeight() const;
    // 0 ... 99, handed to the PNG writer as its quality (0 packs hardest).
    int quality() const;

private:
    std::unique_ptr<Ui::PixmapExportDialog> ui;
};

} // namespace gui
