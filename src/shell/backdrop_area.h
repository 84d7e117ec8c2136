#pragma once
// The main window's MDI area with its fixed background picture, scaled to cover the area.
#include <QMdiArea>
#include <QPixmap>

namespace gw {

class BackdropArea final : public QMdiArea {
public:
    explicit BackdropArea(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QPixmap scaled_;  // the picture at the viewport's last size
};

}  // namespace gw
