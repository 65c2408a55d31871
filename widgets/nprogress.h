#pragma once

#include <QRect>
#include <QWidget>

namespace Ui
{
class nProgress;
}

// Progress window of long operations: a title, a line of text and a percentage bar.
// It does no work itself; its users drive it through the slots below.
class nProgress : public QWidget
{
    Q_OBJECT

public:
    explicit nProgress(QWidget *parent = nullptr);
    ~nProgress() override;

    // Where the window goes on a screen whose available area is `available`.
    static QRect placement(const QRect &available);

public slots:
    void set_title(QString str);
    void set_text(QString str);
    void set_procent(int value);
    void set_iterator(int iterator);
    void add_value();
    void clear_source();
    void set_progress_bar_visible(bool visible);

private:
    Ui::nProgress *ui;
    int iterator = 0;
};
