#include "shell/backdrop_area.h"

#include <QPaintEvent>
#include <QPainter>

namespace gw {

BackdropArea::BackdropArea(QWidget* parent)
    : QMdiArea(parent), picture_(QStringLiteral(":/gravewind/backdrop.png")) {
    setBackground(QColor(0x16, 0x1c, 0x26));
}

void BackdropArea::paintEvent(QPaintEvent* event) {
    QWidget* view = viewport();
    QPainter painter(view);
    if (picture_.isNull()) {
        painter.fillRect(event->rect(), background());
        return;
    }
    if (scaled_.size() != view->size() * view->devicePixelRatioF()) {
        // Cover the whole area, cropping the longer side, so the picture never distorts.
        const QSize target = view->size() * view->devicePixelRatioF();
        const QPixmap covering =
            picture_.scaled(target, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
        scaled_ = covering.copy((covering.width() - target.width()) / 2,
                                (covering.height() - target.height()) / 2, target.width(),
                                target.height());
        scaled_.setDevicePixelRatio(view->devicePixelRatioF());
    }
    painter.drawPixmap(QPoint(0, 0), scaled_);
}

}  // namespace gw
