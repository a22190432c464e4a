// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QTimer;

namespace kv {

class AutostartEntry;
class LinkOpener;
class Scheduler;
class SystemActions;
class TAboutForm;
class TaskActions;
class TaskBase;
class TaskEditor;
class TaskGrid;
class TaskTable;
class TrayBackend;
class TTrayIcon;
class TZephButton;

// The fonts that stand for Arial, best first.
QStringList arialLike();

// What the main window works with; it owns none of it.
struct MainFormParts
{
    TaskTable &table;
    TaskActions &actions;
    Scheduler &scheduler;
    TaskBase &base;
    SystemActions &system;
    LinkOpener &links;
    // The folder of the program file, where help.html lies, beside it or in
    // the tree it is installed in.
    QString programFolder;
    // The tray's notification area; null: the desktop's. Taken over.
    TrayBackend *trayBackend = nullptr;
};

// The main window: the task grid, the menus, the five buttons, the five-second
// timer and the tray icon. It wires commands to the operations of the task
// table, the task actions, the task base and the task editor, and holds no
// logic of those.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 808;
    static constexpr int kClientHeight = 400;
    static constexpr int kTimerInterval = 5000; // ms

    explicit TMainForm(const MainFormParts &parts, QWidget *parent = nullptr);
    ~TMainForm() override;

    // The theme's icon, sharp at every size; its first lookup reads the whole
    // icon theme.
    static QIcon programIcon();
    // The icon built into the program, at hand at once: the window and the
    // tray show it until useThemeIcon() has the theme's in its place.
    static QIcon builtInIcon();
    void useThemeIcon();

    // Not owned; both may stay unset, and the commands then do nothing.
    void setTaskEditor(TaskEditor *editor) { m_editor = editor; }
    void setAboutForm(TAboutForm *about) { m_about = about; }
    // Built when first asked for, so that the start does not wait for it.
    void setAboutForm(std::function<TAboutForm *()> build) { m_buildAbout = std::move(build); }
    // Not owned; "Start at login" is greyed out while none is set.
    void setLoginStart(AutostartEntry *entry);

    // Shows the window as it was and puts it in front of the others, as a second
    // start of the program asks, with the token of the launcher that started it.
    void bringForward(const QByteArray &token = {});

    // Whether the window has been closed, which ends the program.
    bool isClosed() const { return m_closed; }

    // Closes the window with nobody to answer (a stop signal, the end of the
    // session): a table that cannot be saved goes to a rescue copy, and a
    // question already open is given up.
    void closeUnattended();

    // Components, named as in the window's layout.
    TaskGrid *GridOfFiles;
    QLabel *Image1;
    QFrame *Shape1;
    TZephButton *ZephButton1;
    TZephButton *ZephButton2;
    TZephButton *ZephButton3;
    TZephButton *ZephButton4;
    TZephButton *ZephButton5;
    QTimer *Timer1;
    TTrayIcon *TrayIcon;
    QMenu *PopupMenu1;
    QMenu *PopupMenu2;
    QAction *Savebase1;
    QAction *Newbase1;
    QAction *Openbase1;
    QAction *Exit1;
    QAction *Playnaw1;
    QAction *Newtask1;
    QAction *Edittask1;
    QAction *DeleteTask1;
    QAction *Deletealltasks1;
    QAction *Help2;
    QAction *Ostrovahomepage1;
    QAction *Kronvalehomepage1;
    QAction *About1;
    QAction *Open1;
    QAction *Close1;
    // "Start at login", in the tray menu and in "File".
    QAction *Startatlogin1;
    // "Wake the computer for tasks", in the tray menu and in "File"; greyed out
    // until a WakeCommand takes it.
    QAction *Wakethecomputer1;
    QAction *PlayNow2;
    QAction *Newtask2;
    QAction *Edittask2;
    QAction *Deletetask2;
    QAction *Deletealltasks2;

signals:
    // The window has closed and the task table is saved: the program ends.
    void closed();
    // "Play now!" could not open the task's file.
    void playFailed(const QString &task, const QString &reason);

public slots:
    void ZephButton1Click();
    void ZephButton2Click();
    void ZephButton3Click();
    void ZephButton4Click();
    void ZephButton5Click();
    void Savebase1Click();
    void Newbase1Click();
    void Openbase1Click();
    void Exit1Click();
    void Playnaw1Click();
    void Newtask1Click();
    void DeleteTask1Click();
    void Deletealltasks1Click();
    void Help2Click();
    void Ostrovahomepage1Click();
    void Kronvalehomepage1Click();
    void About1Click();
    void Open1Click();
    void Close1Click();
    void TrayIconDblClick();
    void Startatlogin1Click(bool checked);
    void Timer1Timer();
    // "Edit task!": the editor on the selected task row, if there is one.
    void EditSelectedTask();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormCreate();
    // Saves the table; false when the user chose to keep the program running.
    bool FormClose();
    void finishClose();
    // Minimising sends the window to the tray, while there is one: hidden, not
    // iconified.
    void WMSysCommand();
    // Puts the modal dialogs that block the window over it, the last opened active.
    void bringModalChainForward();
    // Brings the window back from a tray that has gone, and sends a minimised
    // one into a tray that has come.
    void trayHostChanged(bool present);
    void buildControls(QWidget *client);
    void buildMenus();
    void buildTray(TrayBackend *backend);
    // Ticks "Start at login" as the entry stands, which other tools may change.
    void showLoginStart();
    TZephButton *makeButton(QWidget *client, const QString &caption, const QString &glyph,
                            const QRect &place);

    TaskTable &m_table;
    TaskActions &m_actions;
    Scheduler &m_scheduler;
    TaskBase &m_base;
    SystemActions &m_system;
    LinkOpener &m_links;
    QString m_programFolder;
    TaskEditor *m_editor = nullptr;
    QPointer<TAboutForm> m_about;
    std::function<TAboutForm *()> m_buildAbout;
    AutostartEntry *m_loginStart = nullptr;
    QPoint m_shownAt;
    bool m_closed = false;
    bool m_unattended = false;
    bool m_savingAtClose = false;
};

} // namespace kv
