// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as a screen reader finds them: a private X server, session bus
// and accessibility bus with its registry, read from outside the process with
// pyatspi as assistive tools read it.
#include "MockBus.h"
#include "WarningForm.h"
#include "WiredProgram.h"
#include "XvfbServer.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace kv;
using namespace kv::test;

namespace {

// Asks a bus with dbus-send; the reply as printed, empty on failure.
QByteArray ask(const QProcessEnvironment &env, const QStringList &arguments)
{
    QProcess send;
    send.setProcessEnvironment(env);
    send.start(QStringLiteral("dbus-send"),
               QStringList{QStringLiteral("--print-reply")} + arguments);
    return send.waitForFinished(5000) && send.exitCode() == 0 ? send.readAllStandardOutput()
                                                              : QByteArray();
}

// The accessibility bus on a private session bus: the launcher that owns
// org.a11y.Bus there and starts the bus, and the registry on that bus. Both
// keep their files in the test's own folders.
class AccessibilityBus
{
public:
    explicit AccessibilityBus(const QByteArray &sessionAddress)
    {
        const QDir home(m_home.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(sessionAddress));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        m_launcher.setProcessEnvironment(env);
        m_launcher.start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"),
                         {QStringLiteral("--launch-immediately"), QStringLiteral("--a11y=1")});
        if (!m_launcher.waitForStarted())
            return;
        const QString address = until([&] {
            const QByteArray reply = ask(
                env, {QStringLiteral("--session"), QStringLiteral("--dest=org.a11y.Bus"),
                      QStringLiteral("/org/a11y/bus"), QStringLiteral("org.a11y.Bus.GetAddress")});
            const qsizetype from = reply.indexOf('"');
            return from < 0
                       ? QString()
                       : QString::fromUtf8(reply.mid(from + 1, reply.lastIndexOf('"') - from - 1));
        });
        if (address.isEmpty())
            return;
        m_registry.setProcessEnvironment(env);
        m_registry.start(QStringLiteral("/usr/libexec/at-spi2-registryd"), {});
        m_running =
            !until([&] {
                 const QByteArray reply =
                     ask(env, {QStringLiteral("--bus=") + address,
                               QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/"),
                               QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                               QStringLiteral("string:org.a11y.atspi.Registry")});
                 return reply.contains("true") ? QStringLiteral("owned") : QString();
             }).isEmpty();
    }
    ~AccessibilityBus()
    {
        for (QProcess *process : {&m_registry, &m_launcher}) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
        }
    }
    bool isRunning() const { return m_running; }
    QString home() const { return m_home.path(); }

private:
    // The first non-empty answer within ten seconds.
    template <typename Answer> static QString until(Answer answer)
    {
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            const QString got = answer();
            if (!got.isEmpty())
                return got;
            QThread::msleep(100);
        }
        return {};
    }

    QTemporaryDir m_home;
    QProcess m_launcher;
    QProcess m_registry;
    bool m_running = false;
};

// Runs the reader script while this process goes on answering it.
QByteArray readAloud(const QStringList &arguments)
{
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral(KV_ATSPI_TREE),
                             QString::number(QCoreApplication::applicationPid())} +
                     arguments);
    const QDeadlineTimer deadline(60000);
    while (reader.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(20);
    if (reader.exitStatus() != QProcess::NormalExit || reader.exitCode() != 0)
        qWarning("%s", reader.readAllStandardError().constData());
    return reader.exitCode() == 0 ? reader.readAllStandardOutput() : QByteArray();
}

void collect(const QJsonObject &node, const QString &role, QList<QJsonObject> *out)
{
    if (node[QStringLiteral("role")].toString() == role)
        out->append(node);
    for (const QJsonValue child : node[QStringLiteral("children")].toArray())
        collect(child.toObject(), role, out);
}

QStringList namesOf(const QList<QJsonObject> &nodes)
{
    QStringList names;
    for (const QJsonObject &node : nodes)
        names << node[QStringLiteral("name")].toString();
    return names;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_program = std::make_unique<Program>(m_folder.path());
        m_program->form.show();
        m_program->editor.CalendarForm->open();
        m_about = std::make_unique<TAboutForm>(m_program->links, &m_program->form);
        m_about->show();
        m_warning = std::make_unique<TWarningForm>(warningOf(QStringLiteral("Shut Down"), 42),
                                                   DateTimeText());
        m_warning->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_warning.get()));
        const QJsonDocument tree = QJsonDocument::fromJson(readAloud({QStringLiteral("dump")}));
        QVERIFY2(tree.isArray(), "the windows could not be read through the accessibility bus");
        for (const QJsonValue window : tree.array())
            m_windows.insert(window[QStringLiteral("name")].toString(), window.toObject());
    }

    void everyButtonCanBeNamedAndPressed_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("main") << "Kronvale v1.1"
                              << QStringList{"Play now!", "New task!", "Edit task!", "Delete task!",
                                             "Delete all tasks!"};
        QTest::newRow("calendar") << "Calender" << QStringList{"OK", "Cancel"};
        QTest::newRow("about") << "About Kronvale" << QStringList{"OK"};
        QTest::newRow("warning") << "Shut Down in 42 s" << QStringList{"Cancel", "Postpone"};
    }
    void everyButtonCanBeNamedAndPressed()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, buttons);
        QVERIFY2(m_windows.contains(window), qPrintable(m_windows.keys().join(", ")));
        QList<QJsonObject> found;
        collect(m_windows[window], QStringLiteral("push button"), &found);
        // Every push button, ours and the calendar's navigation alike.
        for (const QJsonObject &button : std::as_const(found)) {
            QVERIFY(!button[QStringLiteral("name")].toString().isEmpty());
            // The calendar's month button only opens its menu of months.
            const QJsonArray actions = button[QStringLiteral("actions")].toArray();
            QVERIFY2(actions.contains(QStringLiteral("Press")) ||
                         actions.contains(QStringLiteral("ShowMenu")),
                     qPrintable(button[QStringLiteral("name")].toString()));
        }
        const QStringList names = namesOf(found);
        for (const QString &name : std::as_const(buttons))
            QVERIFY2(names.contains(name), qPrintable(names.join(", ")));
    }

    void editorFieldsAreNamed()
    {
        readAloud({QStringLiteral("press"), QStringLiteral("New task!")});
        QTRY_VERIFY(m_program->editor.isVisible());
        const QJsonDocument tree = QJsonDocument::fromJson(readAloud({QStringLiteral("dump")}));
        QJsonObject editor;
        for (const QJsonValue window : tree.array())
            if (window[QStringLiteral("name")].toString() == QLatin1String("New/modify task"))
                editor = window.toObject();
        QList<QJsonObject> buttons, fields, lists;
        collect(editor, QStringLiteral("push button"), &buttons);
        collect(editor, QStringLiteral("text"), &fields);
        collect(editor, QStringLiteral("combo box"), &lists);
        // Both pages: the event page's controls are there while hidden.
        QCOMPARE(namesOf(buttons).mid(0, 11),
                 QStringList({"Open file", "Calendar", "Current Date", "Current time",
                              "Add new task!", "Cancel", "Calendar", "Current Date", "Current time",
                              "Add new task!", "Cancel"}));
        QCOMPARE(namesOf(fields).mid(0, 4), QStringList({"Path:", "File:", "Date", "Time"}));
        // A list names itself by its value; what it is for is its description.
        for (const QJsonObject &list : std::as_const(lists))
            QCOMPARE(list[QStringLiteral("description")].toString(), QStringLiteral("Day"));
        m_program->editor.reject();
    }

    void gridHeadersAreTheTitles()
    {
        QList<QJsonObject> tables;
        collect(m_windows[QStringLiteral("Kronvale v1.1")], QStringLiteral("table"), &tables);
        QCOMPARE(tables.size(), 1);
        QCOMPARE(tables[0][QStringLiteral("name")].toString(), QStringLiteral("Tasks"));
        QCOMPARE(tables[0][QStringLiteral("headers")].toVariant().toStringList(),
                 QStringList({"", "Time", "File name/Event", "Path", "Mode", "Starts"}));
    }

    void aboutLinksAreLinks()
    {
        QList<QJsonObject> links;
        collect(m_windows[QStringLiteral("About Kronvale")], QStringLiteral("link"), &links);
        QCOMPARE(links.size(), 2);
        for (const QJsonObject &link : std::as_const(links)) {
            QVERIFY(link[QStringLiteral("states")].toArray().contains(QStringLiteral("focusable")));
            QVERIFY(link[QStringLiteral("actions")].toArray().contains(QStringLiteral("Press")));
        }
    }

    void warningIsAnAlert()
    {
        const QJsonObject warning = m_windows[QStringLiteral("Shut Down in 42 s")];
        QCOMPARE(warning[QStringLiteral("role")].toString(), QStringLiteral("alert"));
    }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<TAboutForm> m_about;
    std::unique_ptr<TWarningForm> m_warning;
    QMap<QString, QJsonObject> m_windows;
};

int main(int argc, char *argv[])
{
    XvfbServer xvfb;
    PrivateBus session;
    if (!xvfb.isRunning() || !session.isRunning()) {
        qCritical("Xvfb or the private session bus did not start");
        return 1;
    }
    qputenv("DISPLAY", xvfb.display().toLocal8Bit());
    AccessibilityBus accessibility(session.address());
    if (!accessibility.isRunning()) {
        qCritical("the accessibility bus or its registry did not start");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("DBUS_SESSION_BUS_ADDRESS", session.address());
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    qputenv("HOME", accessibility.home().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", accessibility.home().toLocal8Bit());
    QApplication app(argc, argv);
    TestAccessibility test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_accessibility_xvfb.moc"
