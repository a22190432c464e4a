// SPDX-License-Identifier: GPL-3.0-or-later
// The windows with colours of their own on a desktop with a dark palette:
// their texts stay dark on their light backgrounds.
#include "TaskGrid.h"
#include "WarningForm.h"
#include "WiredProgram.h"
#include "ZephButton.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

using namespace kv;
using namespace kv::test;

namespace {

int lightness(QRgb pixel)
{
    return qGray(pixel);
}

// The most common lightness and the darkest one within `area` of the widget.
std::pair<int, int> backgroundAndInk(QWidget *widget, QRect area = {})
{
    const QImage image = widget->grab().toImage();
    if (area.isNull())
        area = image.rect();
    QMap<int, int> counts;
    int darkest = 255;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const int l = lightness(image.pixel(x, y));
            ++counts[l];
            darkest = std::min(darkest, l);
        }
    }
    int background = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(background))
            background = it.key();
    return {background, darkest};
}

template <typename W> W *withText(QWidget *window, const QString &text)
{
    for (W *w : window->findChildren<W *>())
        if (w->text() == text)
            return w;
    return nullptr;
}

} // namespace

class TestDarkPalette : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A dark desktop: light text on dark fields and buttons.
        QApplication::setPalette(QPalette(QColor(53, 53, 53)));
        m_program = std::make_unique<Program>(m_folder.path());
        m_program->table.appendTask(QStringLiteral("07.12.2026 23:00:00"),
                                    QStringLiteral("notes.txt"), QStringLiteral("/tmp/"),
                                    QStringLiteral("Simple"));
        m_program->table.appendTask(QStringLiteral("08.12.2026 23:00:00"),
                                    QStringLiteral("Shut Down"), QString(),
                                    QStringLiteral("Shut Down(Simple)"));
        m_program->table.setCurrentRow(1);
        m_warning = std::make_unique<TWarningForm>(warningOf(QStringLiteral("Shut Down"), 42),
                                                   DateTimeText());
        for (QWidget *window : std::initializer_list<QWidget *>{
                 &m_program->form, &m_program->editor, m_warning.get()}) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
        }
    }

    void textsStayDark_data()
    {
        QTest::addColumn<QWidget *>("widget");
        QTest::addColumn<QRect>("area");
        TMainForm &form = m_program->form;
        // The title row, and the task row below the selected one.
        QTest::newRow("grid title")
            << static_cast<QWidget *>(form.GridOfFiles) << QRect(30, 2, 250, 17);
        QTest::newRow("grid") << static_cast<QWidget *>(form.GridOfFiles) << QRect(30, 44, 250, 17);
        // Each button right of its picture.
        for (TZephButton *button : {form.ZephButton5, form.ZephButton1, form.ZephButton2,
                                    form.ZephButton3, form.ZephButton4})
            QTest::newRow(qPrintable(button->caption()))
                << static_cast<QWidget *>(button)
                << QRect(34, 4, button->width() - 38, button->height() - 8);
        TEditTaskForm &editor = m_program->editor;
        QTest::newRow("editor label")
            << static_cast<QWidget *>(withText<QLabel>(&editor, QStringLiteral("Path:")))
            << QRect();
        QTest::newRow("editor radio") << static_cast<QWidget *>(editor.RadioButton1) << QRect();
        QTest::newRow("editor group")
            << static_cast<QWidget *>(editor.GroupBox1) << QRect(0, 0, 60, 14);
        QTest::newRow("editor button") << static_cast<QWidget *>(editor.ZephButton1) << QRect();
        QTest::newRow("countdown") << static_cast<QWidget *>(m_warning->Label1) << QRect();
        QTest::newRow("warning date") << static_cast<QWidget *>(m_warning->Label2) << QRect();
        QTest::newRow("warning cancel")
            << static_cast<QWidget *>(m_warning->ZephButton1) << QRect(30, 4, 70, 20);
    }
    void textsStayDark()
    {
        QFETCH(QWidget *, widget);
        QFETCH(QRect, area);
        QVERIFY(widget);
        const auto [background, ink] = backgroundAndInk(widget, area);
        QVERIFY2(background > 170, qPrintable(QString::number(background)));
        QVERIFY2(ink < 90, qPrintable(QString::number(ink)));
    }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<TWarningForm> m_warning;
};

QTEST_MAIN(TestDarkPalette)
#include "tst_darkpalette.moc"
