// SPDX-License-Identifier: GPL-3.0-or-later
// Every caption of the fixed layouts within its control, whatever the
// desktop's font size, in every language the program speaks. (German is not
// one of them, so it is not measured.)
#include "TaskGrid.h"
#include "Translations.h"
#include "WarningForm.h"
#include "WiredProgram.h"
#include "ZephButton.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace kv;
using namespace kv::test;

namespace {

// The width a control needs for its text and the width it has (the height for
// a text that wraps).
struct Room
{
    int needed = 0;
    int given = 0;
};

// Room for the text of the controls that show one; none for the others.
std::optional<Room> roomOf(QWidget *w)
{
    const QFontMetrics fm(w->font());
    if (auto *button = qobject_cast<TZephButton *>(w)) {
        if (button->caption().isEmpty())
            return {};
        const int glyph =
            button->glyph().isNull()
                ? 0
                : button->glyph().width() / std::max(1, button->numGlyphs()) + button->spacing();
        // Two pixels of bevel and one of focus mark on each side.
        return Room{fm.horizontalAdvance(button->caption()) + glyph + 6, button->width()};
    }
    if (auto *label = qobject_cast<QLabel *>(w)) {
        if (label->text().isEmpty())
            return {};
        // A wrapping label has the lines it needs; its height is what counts.
        if (label->wordWrap())
            return Room{label->heightForWidth(label->width()), label->height()};
        return Room{fm.horizontalAdvance(label->text()), label->contentsRect().width()};
    }
    if (auto *radio = qobject_cast<QRadioButton *>(w))
        return Room{radio->sizeHint().width(), radio->width()};
    if (auto *group = qobject_cast<QGroupBox *>(w))
        return Room{fm.horizontalAdvance(group->title()) + 16, group->width()};
    if (auto *list = qobject_cast<QComboBox *>(w))
        return Room{list->sizeHint().width(), list->width()};
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return Room{fm.horizontalAdvance(edit->text()) + 8, edit->width()};
    return {};
}

} // namespace

class TestCaptionsFit : public QObject
{
    Q_OBJECT

private slots:
    void captionsFit_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("points");
        for (const char *language : {"en", "ru"})
            for (int points : {9, 11, 14})
                QTest::addRow("%s %d pt", language, points)
                    << QString::fromLatin1(language) << points;
    }
    void captionsFit()
    {
        QFETCH(QString, language);
        QFETCH(int, points);
        Translations texts({language});
        texts.install();
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), points));

        QTemporaryDir folder;
        Program program(folder.path());
        program.editor.Edit2->setText(QStringLiteral("28.12.2026"));
        program.editor.Edit3->setText(QStringLiteral("23:59:59"));
        // The longest texts a warning shows: the widest event, the full minute,
        // and a postponed occurrence.
        AdvanceWarning warning = warningOf(QStringLiteral("Stand By"), 60);
        warning.occurrence.setFor = QDateTime(QDate(2026, 12, 28), QTime(15, 56, 0));
        warning.occurrence.at = QDateTime(QDate(2026, 12, 28), QTime(22, 58, 28));
        TWarningForm warningForm(warning, DateTimeText());

        for (QWidget *window : std::initializer_list<QWidget *>{
                 &program.editor, program.editor.CalendarForm, &warningForm}) {
            for (QWidget *w : window->findChildren<QWidget *>()) {
                // The calendar's own navigation lays itself out.
                if (w->objectName().startsWith(QLatin1String("qt_")))
                    continue;
                const std::optional<Room> room = roomOf(w);
                if (!room)
                    continue;
                QVERIFY2(room->needed <= room->given,
                         qPrintable(QStringLiteral("%1 %2 in %3: needs %4 pixels, has %5")
                                        .arg(w->metaObject()->className(), w->objectName(),
                                             window->objectName())
                                        .arg(room->needed)
                                        .arg(room->given)));
            }
        }
    }
};

QTEST_MAIN(TestCaptionsFit)
#include "tst_captions_fit.moc"
