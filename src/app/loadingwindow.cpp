#include "loadingwindow.h"

#include "processend.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <cmath>

namespace {

const char* const aboutText =
    "Vovo del Pellavio\n"
    "La stanza dipinta e i suoi animali\n"
    "\n"
    "Versione " PELLAVIO_VERSION " del " PELLAVIO_BUILD_DATE "\n"
    "\n";

} // namespace

LoadingWindow::LoadingWindow(QWidget* parent) : QWidget(parent)
{
    auto* windowLayout = new QVBoxLayout();
    auto* progressRow = new QHBoxLayout();
    progressBar = new QProgressBar();
    progressBar->setValue(1);
    progressRow->addWidget(new QLabel(QStringLiteral("Caricamento... ")));
    progressRow->addWidget(progressBar);
    windowLayout->addWidget(new QLabel(QString::fromUtf8(aboutText)));
    windowLayout->addLayout(progressRow);
    setLayout(windowLayout);
    setWindowTitle(QStringLiteral("Vovo del Pellavio"));
    setWindowFlags(Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
    // Loading runs on this thread right after: the window must be on screen first.
    show();
    repaint();
    QCoreApplication::processEvents();
}

void LoadingWindow::setProgress(float percent)
{
    // Truncated from the double product, so 0.29f (just below 0.29) shows 28.
    const double value = std::trunc(double(percent) * 100.0);
    // The bar ignores values outside its range; converting them to int could overflow.
    if (value >= progressBar->minimum() && value <= progressBar->maximum())
        progressBar->setValue(int(value));
    if (percent == 2.0f)
        close();
    repaint();
    QCoreApplication::processEvents();
}

void LoadingWindow::closeEvent(QCloseEvent* event)
{
    // Only the user closes this window spontaneously: the visitor wants out,
    // so the program ends here and now, without the usual shutdown.
    if (event->spontaneous())
        endProcess(0);
}
