// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutForm.h"

#include "BuiltInImage.h"
#include "FixedLook.h"
#include "Links.h"
#include "MainForm.h"
#include "PressableAccessible.h"
#include "ZephButton.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace kv {

namespace {

QAccessibleInterface *accessibleLink(const QString &className, QObject *object)
{
    if (className != QLatin1String("kv::TLinkLabel"))
        return nullptr;
    auto *label = static_cast<TLinkLabel *>(object);
    return new PressableAccessible(
        label, QAccessible::Link, [label] { return label->text(); },
        [label] { emit label->clicked(); });
}

} // namespace

TLinkLabel::TLinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    static const bool accessible = (QAccessible::installFactory(accessibleLink), true);
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
}

void TLinkLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (event->modifiers() & ~Qt::KeypadModifier)
            break;
        emit clicked();
        return;
    default:
        break;
    }
    QLabel::keyPressEvent(event);
}

void TLinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // The dotted frame of a focused link, which every style draws alike.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

const QColor &TAboutForm::linkColor()
{
    static const QColor color(0, 0, 255);
    return color;
}

const QColor &TAboutForm::visitedColor()
{
    static const QColor color(128, 0, 0);
    return color;
}

TAboutForm::TAboutForm(LinkOpener &links, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_links(links)
{
    setObjectName(QStringLiteral("AboutForm"));
    // Modal to the main window only, so that the tray icon still answers while
    // the box is open.
    setWindowModality(Qt::WindowModal);
    //: Title of the about box, which is 208 pixels wide: the window manager cuts a longer
    //: title.
    setWindowTitle(tr("About Kronvale"));
    setWindowIcon(TMainForm::programIcon());
    setFixedSize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    setPalette(lightPalette(Qt::white));
    setFont(dialogFont());

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 209, 199);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(builtInPixmap(QStringLiteral(":/app/about.png"), "png"));

    QFont linkFont;
    linkFont.setFamilies(arialLike());
    linkFont.setPixelSize(13);
    linkFont.setUnderline(true);
    auto makeLink = [&](const QString &text, int left, int top, const char *name) {
        auto *label = new TLinkLabel(text, this);
        label->setObjectName(QLatin1String(name));
        label->setFont(linkFont);
        label->setCursor(Qt::PointingHandCursor);
        label->setAttribute(Qt::WA_TranslucentBackground);
        setLinkColor(label, linkColor());
        label->move(left, top);
        label->adjustSize();
        return label;
    };
    Label1 = makeLink(links::homePage(), 11, 120, "Label1");
    //: Link in the about box, followed by the support mail address; keep the blank at the end.
    //: The box is 208 pixels wide.
    Label2 = makeLink(tr("E-mail: ") + links::supportMail(), 11, 141, "Label2");
    connect(Label1, &TLinkLabel::clicked, this, &TAboutForm::Label1Click);
    connect(Label2, &TLinkLabel::clicked, this, &TAboutForm::Label2Click);

    // The OK kind: the check-mark glyph, Enter presses it, a click closes the box.
    BitBtn1 = new TZephButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setButtonKind(TZephButton::skOK);
    BitBtn1->setButtonStyle(TZephButton::stDefault);
    BitBtn1->setTabStop(true);
    BitBtn1->setGeometry(72, 168, 75, 25);
}

void TAboutForm::setLinkColor(QLabel *label, const QColor &color)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
}

void TAboutForm::showModal()
{
    if (!m_placed && parentWidget()) {
        const QWidget *owner = parentWidget()->window();
        // The box's own frame is unknown before it is first shown; the owner's
        // is the best guess, and move() places the frame.
        const QSize frame = size() + owner->frameGeometry().size() - owner->size();
        move(owner->frameGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
        m_placed = true;
    }
    BitBtn1->setFocus();
    exec();
}

void TAboutForm::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    // The box has no minimise button, but some window managers minimise it all
    // the same, and a minimised modal box would leave nothing to click.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized))
        QMetaObject::invokeMethod(
            this, [this] { setWindowState(windowState() & ~Qt::WindowMinimized); },
            Qt::QueuedConnection);
}

void TAboutForm::Label1Click()
{
    m_links.openLink(QUrl(links::homePage()));
    setLinkColor(Label1, visitedColor());
}

void TAboutForm::Label2Click()
{
    m_links.openLink(QUrl(QStringLiteral("mailto:") + links::supportMail()));
    setLinkColor(Label2, visitedColor());
}

} // namespace kv
