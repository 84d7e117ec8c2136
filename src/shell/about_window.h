#pragma once
// frmAbout: the version line and the acknowledgements. Reads no data file.
class QWidget;

namespace gw {
QWidget* createAboutWindow(QWidget* parent = nullptr);
}  // namespace gw
