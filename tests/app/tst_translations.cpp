// SPDX-License-Identifier: GPL-3.0-or-later
// The program in Russian: the windows speak it, the stored texts stay English.

#include "AboutForm.h"
#include "AppFakes.h"
#include "Fakes.h"
#include "MainForm.h"
#include "Modes.h"
#include "RecordingTrayBackend.h"
#include "Scheduler.h"
#include "TaskActions.h"
#include "TaskBase.h"
#include "TaskTable.h"
#include "Translations.h"
#include "TrayIcon.h"
#include "ZephButton.h"
#include "editor_support.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace kv;

namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

// Every text that a window shows of the program's own.
QStringList shownTexts(const QWidget &window)
{
    QStringList texts{window.windowTitle()};
    const auto add = [&]<typename W>(auto text) {
        for (const W *w : window.findChildren<W *>())
            texts << text(w);
    };
    add.operator()<QAction>([](const QAction *a) { return a->text(); });
    add.operator()<TZephButton>([](const TZephButton *b) { return b->caption(); });
    add.operator()<QRadioButton>([](const QRadioButton *r) { return r->text(); });
    add.operator()<QGroupBox>([](const QGroupBox *g) { return g->title(); });
    add.operator()<QLabel>([](const QLabel *l) { return l->text(); });
    for (const QTabWidget *tabs : window.findChildren<QTabWidget *>())
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
    for (const QComboBox *list : window.findChildren<QComboBox *>())
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
    texts.removeAll(QString());
    return texts;
}

bool isRussian(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.script() == QChar::Script_Cyrillic; });
}

// A base, as the program writes it, of every mode text and event name, and of a
// file named like a mode and a mode in small letters, which are neither.
QByteArray baseOfEveryMode()
{
    QStringList names, modes;
    for (const QString &mode : Modes::fileModes())
        names << QStringLiteral("отчёт.odt"), modes << mode;
    for (const QString &event : Modes::eventNames())
        for (const QString &suffix : Modes::eventSuffixes())
            names << event, modes << event + suffix;
    names << QStringLiteral("Monday") << QStringLiteral("Restart");
    modes << QStringLiteral("Every day") << QStringLiteral("restart(friday)");
    const auto column = [&](const QString &cell) { return QStringList(names.size(), cell); };
    const QStringList lines =
        QStringList{QStringLiteral("6"), QString::number(names.size() + 1)} +
        column(QStringLiteral("1")) + column(QStringLiteral("07.12.2026 9:05:00")) + names +
        column(QStringLiteral("/home/anna/Документы/")) + modes + column(QStringLiteral("3"));
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void choosesTheLanguage_data();
    void choosesTheLanguage();
    void windowsSpeakRussian();
    void gridShowsStoredTextsTranslated_data();
    void gridShowsStoredTextsTranslated();
    void baseReadsAndWritesBackUnchanged();
    void editorStoresEnglish_data();
    void editorStoresEnglish();
    void editorShowsStoredEventTranslated();

private:
    std::unique_ptr<Translations> m_russian;
};

void TestTranslations::initTestCase()
{
    QLocale::setDefault(kRussian);
    m_russian = std::make_unique<Translations>(QStringList{QStringLiteral("ru-RU")});
    m_russian->install();
    QCOMPARE(Translations::installed(), QStringLiteral("ru"));
}

void TestTranslations::cleanupTestCase()
{
    m_russian.reset();
    QCOMPARE(Translations::installed(), QString());
    QCOMPARE(QCoreApplication::translate("kv::TMainForm", "File"), QStringLiteral("File"));
}

void TestTranslations::choosesTheLanguage_data()
{
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<QString>("language");
    QTest::newRow("Russian, as Qt lists it") << QStringList{"ru-RU", "ru-Cyrl-RU", "ru"} << "ru";
    QTest::newRow("German has none") << QStringList{"de-DE", "de"} << "";
    QTest::newRow("German, then Russian") << QStringList{"de", "ru-RU"} << "ru";
    QTest::newRow("English first") << QStringList{"en-GB", "ru-RU"} << "";
    QTest::newRow("no locale") << QStringList{"C"} << "";
}

void TestTranslations::choosesTheLanguage()
{
    QFETCH(QStringList, uiLanguages);
    QFETCH(QString, language);
    const Translations chosen(uiLanguages);
    QCOMPARE(chosen.language(), language);
}

void TestTranslations::windowsSpeakRussian()
{
    QTemporaryDir folder;
    TaskTable table;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(8, 0))};
    RecordingSystemActions system;
    RecordingErrorSink errors;
    ScriptedBaseDialogs dialogs;
    test::RecordingLinkOpener links;
    TaskActions actions(table, system);
    Scheduler scheduler(table, actions, clock, errors);
    TaskBase base(table, errors, dialogs, folder.path());
    TMainForm main(MainFormParts{table, actions, scheduler, base, system, links, folder.path(),
                                 new RecordingTrayBackend});
    TAboutForm about(links, &main);
    test::CountingBeeper beeper;
    test::ScriptedFileChooser files;
    TEditTaskForm editor(table, errors, clock, beeper, files, &main, DateTimeText(kRussian));

    // The name and version, and the maker's address, read alike in every language.
    const QStringList international{"Kronvale v1.1", about.Label1->text()};
    for (const QWidget *window :
         std::initializer_list<const QWidget *>{&main, &about, &editor, editor.CalendarForm}) {
        for (const QString &text : shownTexts(*window))
            if (!international.contains(text))
                QVERIFY2(isRussian(text), qPrintable(text));
    }
    QVERIFY(isRussian(main.TrayIcon->toolTip()));
    // Qt's own texts, as its standard buttons show them.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
}

void TestTranslations::gridShowsStoredTextsTranslated_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("once") << 4 << "Simple"
                          << "Однократно";
    QTest::newRow("event mode") << 4 << "Stand Off(Sunday)"
                                << "Гашение экрана (Воскресенье)";
    QTest::newRow("event once") << 4 << "Shut Down(Simple)"
                                << "Выключение (Однократно)";
    QTest::newRow("lowered mode as it stands") << 4 << "shut down(monday)"
                                               << "shut down(monday)";
    QTest::newRow("event") << 2 << "Restart"
                           << "Перезагрузка";
    QTest::newRow("file named as a mode") << 2 << "Monday"
                                          << "Monday";
}

void TestTranslations::gridShowsStoredTextsTranslated()
{
    QFETCH(int, column);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    TaskTable table;
    table.appendTask(QStringLiteral("07.12.2026 9:05:00"), QString(), QString(), QString());
    table.setCell(column, 1, stored);
    QCOMPARE(table.data(table.index(1, column)).toString(), shown);
    QCOMPARE(table.data(table.index(1, column), Qt::EditRole).toString(), stored);
    QCOMPARE(table.data(table.index(0, TaskTable::ModeColumn)).toString(), QStringLiteral("Режим"));
}

void TestTranslations::baseReadsAndWritesBackUnchanged()
{
    QTemporaryDir folder;
    const QString read = folder.filePath(QStringLiteral("read.log"));
    const QString written = folder.filePath(QStringLiteral("written.log"));
    const QByteArray bytes = baseOfEveryMode();
    QFile file(read);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();

    TaskTable table;
    TaskBase::readBase(read, table);
    QCOMPARE(table.data(table.index(10, TaskTable::ModeColumn)).toString(),
             QStringLiteral("Выключение (Однократно)"));
    TaskBase::writeBase(table, written);
    QFile back(written);
    QVERIFY(back.open(QIODevice::ReadOnly));
    QCOMPARE(back.readAll(), bytes);
}

void TestTranslations::editorStoresEnglish_data()
{
    QTest::addColumn<int>("event"); // -1: a file task
    QTest::addColumn<bool>("simple");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mode");
    QTest::newRow("file, Monday") << -1 << false << 0 << "a.txt"
                                  << "Monday";
    QTest::newRow("file, once") << -1 << true << 3 << "a.txt"
                                << "Simple";
    QTest::newRow("Stand Off, Sunday") << 3 << false << 6 << "Stand Off"
                                       << "Stand Off(Sunday)";
    QTest::newRow("Stand By, once") << 2 << true << 0 << "Stand By"
                                    << "Stand By(Simple)";
}

void TestTranslations::editorStoresEnglish()
{
    QFETCH(int, event);
    QFETCH(bool, simple);
    QFETCH(int, day);
    QFETCH(QString, name);
    QFETCH(QString, mode);
    QTemporaryDir folder;
    QFile(folder.filePath(QStringLiteral("a.txt"))).open(QIODevice::WriteOnly);
    test::EditorRig rig;
    auto &form = rig.editor;
    form.NewTask();
    if (event < 0) {
        form.Edit1->setText(folder.path() + QLatin1Char('/'));
        form.Edit4->setText(name);
        (simple ? form.RadioButton1 : form.RadioButton2)->setChecked(true);
        form.ComboBox1->setCurrentIndex(day);
        form.ZephButton1->click();
    } else {
        const QList<QRadioButton *> events{form.RadioButton3, form.RadioButton4, form.RadioButton7,
                                           form.RadioButton8};
        events.at(event)->setChecked(true);
        QCOMPARE(events.at(event)->text(), Modes::shown(name));
        (simple ? form.RadioButton5 : form.RadioButton6)->setChecked(true);
        form.ComboBox2->setCurrentIndex(day);
        form.ZephButton5->click();
    }
    QVERIFY(rig.errors.shown.isEmpty());
    QCOMPARE(rig.table.cell(TaskTable::NameColumn, 1), name);
    QCOMPARE(rig.table.cell(TaskTable::ModeColumn, 1), mode);
}

void TestTranslations::editorShowsStoredEventTranslated()
{
    test::EditorRig rig;
    const int row =
        rig.addRow("1", "07.12.2026 9:05:00", "Stand By", "", "stand by(saturday)", "4");
    auto &form = rig.editor;
    form.EditTask(row, true);
    QVERIFY(form.RadioButton7->isChecked());
    QCOMPARE(form.RadioButton7->text(), QStringLiteral("Спящий режим"));
    QCOMPARE(form.ComboBox2->currentText(), QStringLiteral("Суббота"));
    form.ZephButton5->click();
    QCOMPARE(rig.rowCells(row),
             QStringList({"1", "07.12.2026 9:05:00", "Stand By", "", "Stand By(Saturday)", "4"}));
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
