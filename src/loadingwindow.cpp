#include "loadingwindow.h"

LoadingWindow::LoadingWindow(QWidget* parent) : QWidget(parent) {}
void LoadingWindow::setProgress(float) {}
void LoadingWindow::closeEvent(QCloseEvent*) {}
