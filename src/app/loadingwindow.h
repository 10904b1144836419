// The small window in front of everything while the scene loads.
#pragma once

#include <QWidget>

class QProgressBar;
class QCloseEvent;

class LoadingWindow : public QWidget
{
    Q_OBJECT

public:
    explicit LoadingWindow(QWidget* parent = nullptr);

public slots:
    void setProgress(float percent);
    void closeEvent(QCloseEvent* event) override;

private:
    QProgressBar* progressBar = nullptr;
};
