// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainForm.h"

#include "AboutForm.h"
#include "AutostartEntry.h"
#include "BuiltInImage.h"
#include "FixedLook.h"
#include "InstallLayout.h"
#include "Links.h"
#include "Modes.h"
#include "Scheduler.h"
#include "SystemActions.h"
#include "TaskActions.h"
#include "TaskBase.h"
#include "TaskEditor.h"
#include "TaskGrid.h"
#include "TaskTable.h"
#include "Translations.h"
#include "TrayIcon.h"
#include "WindowActivation.h"
#include "ZephButton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPixmap>
#include <QTimer>
#include <QUrl>
#include <utility>

// The pictures live in a static library, whose resources are not registered by
// themselves.
static void initAppArt()
{
    Q_INIT_RESOURCE(app);
}

namespace kv {

QStringList arialLike()
{
    // Arial, or a font with its metrics, before the desktop's default.
    return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
            QStringLiteral("Nimbus Sans"), QStringLiteral("Arimo")};
}

TMainForm::TMainForm(const MainFormParts &parts, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_table(parts.table), m_actions(parts.actions), m_scheduler(parts.scheduler),
      m_base(parts.base), m_system(parts.system), m_links(parts.links),
      m_programFolder(parts.programFolder)
{
    setObjectName(QStringLiteral("MainForm"));
    //: The main window's title: the program's name and version.
    setWindowTitle(tr("Kronvale v1.1"));
    setWindowIcon(builtInIcon());

    auto *client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    client->setAutoFillBackground(true);
    client->setPalette(lightPalette(Qt::white));
    client->setFont(dialogFont());
    setCentralWidget(client);

    // The tray icon is in the notification area before the window is shown.
    buildTray(parts.trayBackend);
    buildControls(client);
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerInterval);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    Timer1->start();

    FormCreate();
}

TMainForm::~TMainForm() = default;

QIcon TMainForm::builtInIcon()
{
    static const bool registered = (initAppArt(), true);
    Q_UNUSED(registered);
    // From a pixmap: a file name would have Qt look through its icon engines.
    return QIcon(builtInPixmap(QStringLiteral(":/app/kronvale16.png"), "png"));
}

QIcon TMainForm::programIcon()
{
    // The theme's icon is sharp at every size of task bars and window switchers.
    return QIcon::fromTheme(links::applicationId(), builtInIcon());
}

void TMainForm::useThemeIcon()
{
    const QIcon icon = programIcon();
    QApplication::setWindowIcon(icon);
    setWindowIcon(icon);
    TrayIcon->setIcon(icon);
}

void TMainForm::buildTray(TrayBackend *backend)
{
    TrayIcon = backend ? new TTrayIcon(backend, this) : new TTrayIcon(this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    //: Tray menu: shows the main window again.
    Open1 = PopupMenu2->addAction(tr("Open"), this, &TMainForm::Open1Click);
    Open1->setObjectName(QStringLiteral("Open1"));
    PopupMenu2->addSeparator();
    //: Item with a check mark, in the File menu and the tray menu: whether the program starts
    //: in the tray when the user logs in.
    Startatlogin1 = PopupMenu2->addAction(tr("Start at login"));
    Startatlogin1->setObjectName(QStringLiteral("Startatlogin1"));
    Startatlogin1->setCheckable(true);
    Startatlogin1->setEnabled(false);
    connect(Startatlogin1, &QAction::triggered, this, &TMainForm::Startatlogin1Click);
    connect(PopupMenu2, &QMenu::aboutToShow, this, &TMainForm::showLoginStart);
    //: Item with a check mark, in the File menu and the tray menu: whether the program wakes
    //: the computer from sleep in time for the next task.
    Wakethecomputer1 = PopupMenu2->addAction(tr("Wake the computer for tasks"));
    Wakethecomputer1->setObjectName(QStringLiteral("Wakethecomputer1"));
    Wakethecomputer1->setCheckable(true);
    Wakethecomputer1->setEnabled(false);
    // Its tool tip tells why it is greyed out.
    PopupMenu2->setToolTipsVisible(true);
    PopupMenu2->addSeparator();
    //: Tray menu: saves the task list and ends the program.
    Close1 = PopupMenu2->addAction(tr("Close"), this, &TMainForm::Close1Click);
    Close1->setObjectName(QStringLiteral("Close1"));

    TrayIcon->setActive(true);
    TrayIcon->setAnimate(false);
    TrayIcon->setShowDesigning(false);
    TrayIcon->readIcon(builtInIcon());
    //: Tool tip of the program's icon in the notification area. Not the program's name but a
    //: nickname of its own: one who keeps watch on the tide, that is on time. Translate the
    //: idea, not the letters.
    TrayIcon->setToolTip(tr("Tidewatch"));
    TrayIcon->setPopupMenu(PopupMenu2);
    // Hosts list the icon under the program's name and keep their settings for
    // it under its desktop name.
    TrayIcon->setTitle(QStringLiteral("Kronvale"));
    TrayIcon->setId(links::applicationId());
    connect(TrayIcon, &TTrayIcon::OnDblClick, this, &TMainForm::TrayIconDblClick);
    connect(TrayIcon, &TTrayIcon::hostPresentChanged, this, &TMainForm::trayHostChanged);
}

TZephButton *TMainForm::makeButton(QWidget *client, const QString &caption, const QString &glyph,
                                   const QRect &place)
{
    auto *button = new TZephButton(client);
    button->setGeometry(place);
    button->setButtonStyle(TZephCustomButton::stRaised);
    QFont font = pixelFont({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")}, 11);
    button->setFont(font);
    button->setGlyph(builtInPixmap(QStringLiteral(":/app/") + glyph, "png"));
    button->setNumGlyphs(1);
    button->setRepeatInterval(50);
    button->setRepeatStartInterval(50);
    button->setCursorHandCustom(true);
    button->setTabStop(true);
    button->setCaption(caption);
    return button;
}

void TMainForm::buildControls(QWidget *client)
{
    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 457, 385);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(builtInPixmap(QStringLiteral(":/app/mainform.png"), "png"));

    Shape1 = new QFrame(client);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(128, 65, 665, 320);
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setLineWidth(1);
    Shape1->setAutoFillBackground(true);
    QPalette shapePalette = Shape1->palette();
    shapePalette.setColor(QPalette::Window, TaskGrid::titleColor());
    shapePalette.setColor(QPalette::WindowText, Qt::black);
    Shape1->setPalette(shapePalette);

    GridOfFiles = new TaskGrid(m_table, client);
    GridOfFiles->setObjectName(QStringLiteral("GridOfFiles"));
    GridOfFiles->setGeometry(134, 72, 651, 305);
    GridOfFiles->setFont(pixelFont(arialLike(), 13));
    //: Name of the task grid for screen readers.
    GridOfFiles->setAccessibleName(tr("Tasks"));

    //: Button: runs the selected task at once. The five buttons of the main window leave about
    //: 78 pixels beside their picture (the two below about 94): keep their captions short.
    ZephButton5 = makeButton(client, tr("Play now!"), QStringLiteral("glyph_play.png"),
                             QRect(440, 40, 113, 26));
    ZephButton5->setSpacing(5);
    //: Button: opens the task editor for a new task, as the item of the Tasks menu does.
    ZephButton1 = makeButton(client, tr("New task!", "button"), QStringLiteral("glyph_new.png"),
                             QRect(560, 38, 113, 28));
    //: Button: opens the task editor on the selected task, as the item of the Tasks menu does.
    ZephButton2 = makeButton(client, tr("Edit task!", "button"), QStringLiteral("glyph_edit.png"),
                             QRect(680, 38, 113, 28));
    //: Button: removes the selected task, without a question, as the item of the Tasks menu does.
    ZephButton3 = makeButton(client, tr("Delete task!", "button"),
                             QStringLiteral("glyph_delete.png"), QRect(0, 312, 129, 33));
    //: Button: removes every task, without a question, as the item of the Tasks menu does.
    ZephButton4 = makeButton(client, tr("Delete all tasks!", "button"),
                             QStringLiteral("glyph_deleteall.png"), QRect(0, 344, 129, 33));
    const QList<TZephButton *> order{ZephButton5, ZephButton1, ZephButton2, ZephButton3,
                                     ZephButton4};
    for (int i = 0; i < order.size(); ++i)
        order[i]->setObjectName(QStringLiteral("ZephButton%1").arg(i == 0 ? 5 : i));
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(ZephButton1, &TZephButton::OnClick, this, &TMainForm::ZephButton1Click);
    connect(ZephButton2, &TZephButton::OnClick, this, &TMainForm::ZephButton2Click);
    connect(ZephButton3, &TZephButton::OnClick, this, &TMainForm::ZephButton3Click);
    connect(ZephButton4, &TZephButton::OnClick, this, &TMainForm::ZephButton4Click);
    connect(ZephButton5, &TZephButton::OnClick, this, &TMainForm::ZephButton5Click);

    // "Play now!" is first in the tab order and holds the focus at the start.
    ZephButton5->setFocus();
}

void TMainForm::buildMenus()
{
    auto named = [](QAction *action, const char *name, const QKeySequence &key = {}) {
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        return action;
    };
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu *file = bar->addMenu(tr("File"));
    file->setObjectName(QStringLiteral("File1"));
    //: File menu: saves the task list to a file the user chooses. A "base" (task base) is the
    //: file that holds the task list.
    Savebase1 = named(file->addAction(tr("Save base"), this, &TMainForm::Savebase1Click),
                      "Savebase1", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    //: File menu: empties the task list, which is then saved as KV_new.log.
    Newbase1 = named(file->addAction(tr("New base"), this, &TMainForm::Newbase1Click), "Newbase1",
                     QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N));
    //: File menu: reads a task base file into the list.
    Openbase1 = named(file->addAction(tr("Open base"), this, &TMainForm::Openbase1Click),
                      "Openbase1", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_O));
    file->addSeparator();
    file->addAction(Startatlogin1);
    connect(file, &QMenu::aboutToShow, this, &TMainForm::showLoginStart);
    file->addAction(Wakethecomputer1);
    file->setToolTipsVisible(true);
    file->addSeparator();
    Exit1 = named(file->addAction(tr("Exit"), this, &TMainForm::Exit1Click), "Exit1");

    QMenu *tasks = bar->addMenu(tr("Tasks"));
    tasks->setObjectName(QStringLiteral("asks1"));
    //: Tasks menu: the same command as the button "Play now!"; the menu has always spelt it
    //: "naw". Translate it as "Play now!".
    Playnaw1 = named(tasks->addAction(tr("Play naw!"), this, &TMainForm::Playnaw1Click), "Playnaw1",
                     QKeySequence(Qt::Key_F9));
    tasks->addSeparator();
    //: Tasks menu and the list's menu: opens the task editor for a new task.
    Newtask1 = named(tasks->addAction(tr("New task!"), this, &TMainForm::Newtask1Click), "Newtask1",
                     QKeySequence(Qt::CTRL | Qt::Key_N));
    //: Tasks menu and the list's menu: opens the task editor on the selected task.
    Edittask1 = named(tasks->addAction(tr("Edit task!"), this, &TMainForm::EditSelectedTask),
                      "Edittask1", QKeySequence(Qt::CTRL | Qt::Key_E));
    tasks->addSeparator();
    //: Tasks menu: removes the selected task, without a question.
    DeleteTask1 = named(tasks->addAction(tr("Delete task!"), this, &TMainForm::DeleteTask1Click),
                        "DeleteTask1", QKeySequence(Qt::CTRL | Qt::Key_D));
    Deletealltasks1 =
        //: Tasks menu: removes every task, without a question.
        named(tasks->addAction(tr("Delete all tasks!"), this, &TMainForm::Deletealltasks1Click),
              "Deletealltasks1");

    QMenu *help = bar->addMenu(tr("Help"));
    help->setObjectName(QStringLiteral("Help1"));
    //: Help menu (F1): opens the program's help page.
    Help2 = named(help->addAction(tr("Support"), this, &TMainForm::Help2Click), "Help2",
                  QKeySequence(Qt::Key_F1));
    help->addSeparator();
    Ostrovahomepage1 =
        //: Help menu: opens the web page of Ostrova, the maker of the program; "Ostrova" is a
        //: name.
        named(help->addAction(tr("Ostrova home page"), this, &TMainForm::Ostrovahomepage1Click),
              "Ostrovahomepage1");
    Kronvalehomepage1 =
        //: Help menu: opens the program's web page.
        named(help->addAction(tr("Kronvale home page"), this, &TMainForm::Kronvalehomepage1Click),
              "Kronvalehomepage1");
    help->addSeparator();
    //: Help menu: shows the about box.
    About1 = named(help->addAction(tr("About"), this, &TMainForm::About1Click), "About1",
                   QKeySequence(Qt::CTRL | Qt::Key_A));

    // The grid's context menu.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PlayNow2 =
        //: The list's context menu: the same command as the button "Play now!".
        named(PopupMenu1->addAction(tr("Play Now!"), this, &TMainForm::Playnaw1Click), "PlayNow2");
    PopupMenu1->addSeparator();
    Newtask2 =
        named(PopupMenu1->addAction(tr("New task!"), this, &TMainForm::Newtask1Click), "Newtask2");
    Edittask2 = named(PopupMenu1->addAction(tr("Edit task!"), this, &TMainForm::EditSelectedTask),
                      "Edittask2");
    PopupMenu1->addSeparator();
    Deletetask2 =
        //: The list's context menu: the same command as "Delete task!".
        named(PopupMenu1->addAction(tr("Delete task"), this, &TMainForm::DeleteTask1Click),
              "Deletetask2");
    Deletealltasks2 =
        //: The list's context menu: the same command as "Delete all tasks!".
        named(PopupMenu1->addAction(tr("Delete all tasks"), this, &TMainForm::Deletealltasks1Click),
              "Deletealltasks2");
    GridOfFiles->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(GridOfFiles, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        PopupMenu1->popup(GridOfFiles->viewport()->mapToGlobal(at));
    });
}

void TMainForm::FormCreate()
{
    m_table.writeHeader();
    m_base.loadAtStart();
}

bool TMainForm::FormClose()
{
    if (m_unattended) {
        m_base.saveAtStop();
        return true;
    }
    m_savingAtClose = true;
    const bool mayEnd = m_base.saveAtClose();
    m_savingAtClose = false;
    return mayEnd;
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // A stop while the user was asked ends the program from within the question.
    if (!m_closed && !FormClose() && !m_closed) {
        event->ignore();
        return;
    }
    event->accept();
    finishClose();
}

void TMainForm::finishClose()
{
    if (std::exchange(m_closed, true))
        return;
    emit closed();
}

void TMainForm::closeUnattended()
{
    if (m_closed)
        return;
    m_unattended = true;
    if (!m_savingAtClose) {
        close();
        return;
    }
    // The question of a failed save may never be answered: save what can be
    // saved now and end; ending the program takes the question down.
    m_base.saveAtStop();
    finishClose();
}

void TMainForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Without a tray the window is iconified as usual, and the task bar, the
    // dock or the window switcher brings it back.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) &&
        TrayIcon->hostPresent())
        // Out of the state change first; the window manager is still iconifying.
        QMetaObject::invokeMethod(this, &TMainForm::WMSysCommand, Qt::QueuedConnection);
    // A window manager that activates this window while a dialog blocks it (when
    // the dialog's own dialog closes, or on a click) stacks it over the dialog,
    // and the program looks frozen.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        QApplication::activeModalWidget())
        QMetaObject::invokeMethod(this, &TMainForm::bringModalChainForward, Qt::QueuedConnection);
}

void TMainForm::bringModalChainForward()
{
    // The open modal dialog and the dialogs it belongs to, up to this window;
    // raised from the lowest up, so that each stays over its owner.
    QList<QWidget *> chain;
    for (QWidget *dialog = QApplication::activeModalWidget(); dialog && dialog != this;
         dialog = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr)
        chain.prepend(dialog);
    for (QWidget *dialog : chain) {
        // The window manager may have minimised it along with this window.
        dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
        dialog->raise();
    }
    if (!chain.isEmpty())
        chain.constLast()->activateWindow();
}

void TMainForm::WMSysCommand()
{
    if (!(windowState() & Qt::WindowMinimized) || !TrayIcon->hostPresent())
        return;
    m_shownAt = pos();
    // Withdrawn rather than iconified: no taskbar entry and no minimised window.
    // The minimised flag stays until the window is shown again: clearing it on
    // X11 maps the window, which would leave an empty frame on the screen.
    hide();
}

void TMainForm::trayHostChanged(bool present)
{
    if (m_closed)
        return;
    if (!present && !isVisible())
        // A window hidden in a tray that has gone would be out of reach.
        Open1Click();
    else if (present && isVisible() && (windowState() & Qt::WindowMinimized))
        // Minimised while there was none, as at a login where the tray starts late.
        WMSysCommand();
}

void TMainForm::Open1Click()
{
    // A withdrawn window comes back where it was; an iconified one never left.
    if (!isVisible() && !m_shownAt.isNull())
        move(m_shownAt);
    // Never skipped for a window that seems shown: a Wayland client does not
    // learn that it was minimised, and a window behind others is to come to
    // the front.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    // A dialog left open, also while the window was in the tray, must not stay
    // behind the window it blocks; it takes the focus then.
    if (QApplication::activeModalWidget())
        bringModalChainForward();
    else
        activateWindow();
}

void TMainForm::TrayIconDblClick()
{
    Open1Click();
}

void TMainForm::setLoginStart(AutostartEntry *entry)
{
    m_loginStart = entry;
    Startatlogin1->setEnabled(entry);
    showLoginStart();
}

void TMainForm::showLoginStart()
{
    Startatlogin1->setChecked(m_loginStart && m_loginStart->isEnabled());
}

void TMainForm::Startatlogin1Click(bool checked)
{
    if (m_loginStart)
        m_loginStart->setEnabled(checked);
    // Also after a failure, which leaves the entry as it was.
    showLoginStart();
}

void TMainForm::bringForward(const QByteArray &token)
{
    Open1Click();
    // The window manager lets the focus go to the front window only with the
    // launcher's token.
    QWidget *front = QApplication::activeModalWidget();
    WindowActivation::activate(front ? front : this, token);
}

void TMainForm::Close1Click()
{
    close();
}

void TMainForm::Exit1Click()
{
    close();
}

void TMainForm::Timer1Timer()
{
    m_scheduler.Timer1Timer();
}

void TMainForm::Savebase1Click()
{
    m_base.Savebase1Click();
}

void TMainForm::Newbase1Click()
{
    m_base.Newbase1Click();
}

void TMainForm::Openbase1Click()
{
    m_base.Openbase1Click();
}

void TMainForm::Playnaw1Click()
{
    const int row = m_table.currentTask();
    const QString task =
        m_table.cell(TaskTable::PathColumn, row) + m_table.cell(TaskTable::NameColumn, row);
    m_actions.PlaySelectedTask([form = QPointer<TMainForm>(this), task](const QString &failure) {
        if (form && !failure.isEmpty())
            emit form->playFailed(task, failure);
    });
}

void TMainForm::ZephButton5Click()
{
    Playnaw1Click();
}

void TMainForm::Newtask1Click()
{
    if (m_editor)
        m_editor->editNewTask();
}

void TMainForm::ZephButton1Click()
{
    Newtask1Click();
}

void TMainForm::EditSelectedTask()
{
    const int row = m_table.currentRow();
    if (!m_table.hasTasks() || row == 0 || !m_editor)
        return;
    const bool eventTask = Modes::eventNames().contains(m_table.cell(TaskTable::NameColumn, row));
    m_editor->editTask(row, eventTask);
}

void TMainForm::ZephButton2Click()
{
    EditSelectedTask();
}

void TMainForm::DeleteTask1Click()
{
    m_table.DeleteSelectedTask();
}

void TMainForm::ZephButton3Click()
{
    DeleteTask1Click();
}

void TMainForm::Deletealltasks1Click()
{
    m_table.DeleteAllTasks();
}

void TMainForm::ZephButton4Click()
{
    Deletealltasks1Click();
}

void TMainForm::Help2Click()
{
    // Beside the program file or in its installed tree, not in the working folder.
    const QString path = InstallLayout(m_programFolder).helpPage(Translations::installed());
    if (!path.isEmpty())
        m_system.openFile(path, {});
}

void TMainForm::Ostrovahomepage1Click()
{
    m_links.openLink(QUrl(links::homePage()));
}

void TMainForm::Kronvalehomepage1Click()
{
    m_links.openLink(QUrl(links::productPage()));
}

void TMainForm::About1Click()
{
    if (!m_about && m_buildAbout)
        m_about = std::exchange(m_buildAbout, {})();
    if (m_about)
        m_about->showModal();
}

} // namespace kv
