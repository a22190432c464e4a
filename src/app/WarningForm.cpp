// SPDX-License-Identifier: GPL-3.0-or-later
#include "WarningForm.h"

#include "FixedLook.h"
#include "KeysAfterClick.h"
#include "Modes.h"
#include "Notices.h"
#include "ZephArt.h"
#include "ZephButton.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStyle>

namespace kv {

namespace {

// Room for the window manager's frame, which is not known before the window
// is on the screen.
constexpr int kFrameWidth = 12;
constexpr int kFrameHeight = 36;
constexpr int kMargin = 8;

const QStringList &sansSerif()
{
    static const QStringList families{QStringLiteral("MS Sans Serif"),
                                      QStringLiteral("DejaVu Sans")};
    return families;
}

// The window is an alert to assistive tools, which read its name when it
// appears and when the name changes.
QAccessibleInterface *accessibleWarning(const QString &className, QObject *object)
{
    if (className != QLatin1String("kv::TWarningForm"))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::AlertMessage);
}

// The count is read aloud once more when this few seconds are left.
constexpr int kLastCall = 10;

} // namespace

TWarningForm::TWarningForm(const AdvanceWarning &warning, const DateTimeText &texts,
                           QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      Label1(new QLabel(this)), Label2(new QLabel(this)), ZephButton1(new TZephButton(this)),
      ZephButton2(new TZephButton(this)), PopupMenu1(new QMenu(this)), m_id(warning.id)
{
    static const bool accessible = (QAccessible::installFactory(accessibleWarning), true);
    Q_UNUSED(accessible);
    setObjectName(QStringLiteral("WarningForm"));
    setWindowTitle(Modes::shown(warning.eventName));
    // Whatever the user is typing in keeps the keyboard; a click makes the
    // window active, and Esc then cancels.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kWidth, kHeight);
    setPalette(lightPalette(Qt::white));
    setAutoFillBackground(true);
    setFont(dialogFont());

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(12, 12, 32, 32);
    image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(56, 10, kWidth - 64, 24);
    Label1->setFont(pixelFont(sansSerif(), 16, true));
    // A postponed occurrence takes a second line in some languages and formats.
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(56, 36, kWidth - 64, 30);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setWordWrap(true);
    Label2->setText(warning.whenText(texts));
    setAccessibleDescription(Label2->text());

    const QFont buttonFont =
        pixelFont({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")}, 11);
    ZephButton1->setObjectName(QStringLiteral("ZephButton1"));
    ZephButton1->setButtonKind(TZephButton::skCancel); // Esc clicks it
    ZephButton1->setCaption(tr("Cancel"));
    ZephButton1->setGeometry(56, 76, 130, 28);
    ZephButton2->setObjectName(QStringLiteral("ZephButton2"));
    ZephButton2->setCaption(tr("Postpone"));
    ZephButton2->setGlyph(zeph::picture(QStringLiteral("RETRIGZephB")));
    ZephButton2->setGlyphHot(zeph::picture(QStringLiteral("RETRIZephB")));
    ZephButton2->setNumGlyphs(1);
    ZephButton2->setNumGlyphsHot(1);
    ZephButton2->setPopupMenu(PopupMenu1);
    ZephButton2->setGeometry(196, 76, 134, 28);
    // An edged style, as in the editor: it shows which button Enter presses.
    for (TZephButton *button : {ZephButton1, ZephButton2}) {
        button->setButtonStyle(TZephButton::stDefault);
        button->setFont(buttonFont);
        button->setTabStop(true);
    }
    setTabOrder(ZephButton1, ZephButton2);

    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const QStringList labels{tr("5 minutes"), tr("15 minutes"), tr("1 hour")};
    const QList<int> &minutes = AdvanceWarnings::postponeMinutes();
    for (qsizetype i = 0; i < minutes.size() && i < labels.size(); ++i)
        PopupMenu1->addAction(labels[i], this,
                              [this, delay = minutes[i]] { emit postponeChosen(m_id, delay); });
    connect(ZephButton1, &TZephButton::OnClick, this, [this] { emit cancelChosen(m_id); });

    showCount(warning);
}

void TWarningForm::showCount(const AdvanceWarning &warning)
{
    Label1->setText(warning.countdownText());
    // A long event name in a long language: smaller, but whole.
    QFont font = Label1->font();
    for (int pixels = 16; pixels > 9; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).horizontalAdvance(Label1->text()) <= Label1->width())
            break;
    }
    Label1->setFont(font);
    // Not every second: a screen reader would read nothing else.
    const bool lastCall = warning.secondsLeft <= kLastCall;
    if (accessibleName().isEmpty() || (lastCall && !m_lastCallSpoken)) {
        m_lastCallSpoken = lastCall;
        setAccessibleName(Label1->text());
    }
}

void TWarningForm::closeEvent(QCloseEvent *event)
{
    event->ignore();
    hide();
}

WarningWindows::WarningWindows(AdvanceWarnings &warnings, const DateTimeText &texts,
                               QObject *parent)
    : QObject(parent), m_warnings(warnings), m_texts(texts)
{
    connect(&warnings, &AdvanceWarnings::opened, this, &WarningWindows::open);
    connect(&warnings, &AdvanceWarnings::counted, this, &WarningWindows::count);
    connect(&warnings, &AdvanceWarnings::closed, this, &WarningWindows::close);
}

WarningWindows::~WarningWindows()
{
    for (const QPointer<TWarningForm> &window : std::as_const(m_slots))
        delete window;
}

QList<TWarningForm *> WarningWindows::windows() const
{
    QList<TWarningForm *> open;
    for (const QPointer<TWarningForm> &window : m_slots)
        if (window)
            open << window;
    return open;
}

void WarningWindows::openOnlyUnnoticed(WarningNotices &notices)
{
    disconnect(&m_warnings, &AdvanceWarnings::opened, this, &WarningWindows::open);
    connect(&notices, &WarningNotices::unnoticed, this, &WarningWindows::openUnnoticed);
    m_keysAfterClick = true;
}

void WarningWindows::openUnnoticed(int id)
{
    const QList<AdvanceWarning> open = m_warnings.warnings();
    for (const AdvanceWarning &warning : open)
        if (warning.id == id)
            this->open(warning);
}

void WarningWindows::open(const AdvanceWarning &warning)
{
    int slot = 0;
    while (m_slots.contains(slot))
        ++slot;
    auto *window = new TWarningForm(warning, m_texts);
    if (m_keysAfterClick)
        new KeysAfterClick(window);
    connect(window, &TWarningForm::cancelChosen, &m_warnings, &AdvanceWarnings::cancel);
    connect(window, &TWarningForm::postponeChosen, &m_warnings, &AdvanceWarnings::postpone);
    m_slots.insert(slot, window);
    window->move(placeOf(slot));
    window->show();
}

void WarningWindows::count(const AdvanceWarning &warning)
{
    for (TWarningForm *window : windows())
        if (window->warningId() == warning.id)
            window->showCount(warning);
}

void WarningWindows::close(int id)
{
    for (auto it = m_slots.begin(); it != m_slots.end(); ++it) {
        if (!*it || (*it)->warningId() != id)
            continue;
        // Its own button or menu may be what closed it.
        (*it)->hide();
        (*it)->deleteLater();
        m_slots.erase(it);
        return;
    }
}

QPoint WarningWindows::placeOf(int slot)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int width = TWarningForm::kWidth + kFrameWidth + kMargin;
    const int height = TWarningForm::kHeight + kFrameHeight + kMargin;
    const int perColumn = std::max(1, (area.height() - kMargin) / height);
    const int column = slot / perColumn;
    const int row = slot % perColumn;
    return {area.right() + 1 - (column + 1) * width, area.bottom() + 1 - (row + 1) * height};
}

} // namespace kv
