// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QLabel>

namespace kv {

class LinkOpener;
class TZephButton;

// A text that acts as a link: it reports a left click, and Enter or Space
// while it holds the keyboard focus, which Tab gives it. Assistive tools see a
// link that their Press action follows.
class TLinkLabel : public QLabel
{
    Q_OBJECT

public:
    TLinkLabel(const QString &text, QWidget *parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

// The about box: the program's picture, the maker's home page and support mail
// as links, and OK. Created once; a followed link keeps its visited colour for
// the rest of the run.
class TAboutForm : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 208;
    static constexpr int kClientHeight = 196;
    static const QColor &linkColor();    // RGB(0,0,255)
    static const QColor &visitedColor(); // RGB(128,0,0)

    TAboutForm(LinkOpener &links, QWidget *owner);

    // Shows the box modally: centred over its owner the first time, afterwards
    // where it was left.
    void showModal();

    QLabel *Image1;
    TLinkLabel *Label1;
    TLinkLabel *Label2;
    TZephButton *BitBtn1; // OK

public slots:
    void Label1Click();
    void Label2Click();

protected:
    void changeEvent(QEvent *event) override;

private:
    static void setLinkColor(QLabel *label, const QColor &color);

    LinkOpener &m_links;
    bool m_placed = false;
};

} // namespace kv
