<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AutostartEntry</name>
    <message>
        <source>its folder cannot be made</source>
        <extracomment>Why the login start entry could not be written, after &quot;The start at login cannot be written to %1:&quot;.</extracomment>
        <translation>не удаётся создать его папку</translation>
    </message>
    <message>
        <source>The start at login cannot be written to %1: %2</source>
        <extracomment>%1 is the login start entry&apos;s file, %2 why.</extracomment>
        <translation>Не удаётся записать файл запуска при входе в систему %1: %2</translation>
    </message>
    <message>
        <source>Task Scheduler</source>
        <extracomment>The generic name in the user&apos;s login start entry, as the desktop&apos;s session settings show it.</extracomment>
        <translation>Планировщик задач</translation>
    </message>
    <message>
        <source>Starts the task scheduler in the tray at login</source>
        <extracomment>The comment in the user&apos;s login start entry.</extracomment>
        <translation>Запускает планировщик задач в области уведомлений при входе в систему</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <extracomment>Why the login start entry is left as it is, after &quot;The start at login in %1 is left as it is:&quot;.</extracomment>
        <translation>это не обычный файл</translation>
    </message>
    <message>
        <source>it is far larger than any such entry</source>
        <extracomment>Why the login start entry is left as it is, after &quot;The start at login in %1 is left as it is:&quot;.</extracomment>
        <translation>он намного больше любого такого файла</translation>
    </message>
    <message>
        <source>The start at login in %1 is left as it is: %2</source>
        <extracomment>%1 is the login start entry&apos;s file, %2 why it is not touched.</extracomment>
        <translation>Файл запуска при входе в систему %1 оставлен как есть: %2</translation>
    </message>
    <message>
        <source>The start at login cannot be written: %1</source>
        <extracomment>%1 says why, e.g. &quot;there is no home folder: HOME is not set to an absolute path&quot;.</extracomment>
        <translation>Не удаётся записать файл запуска при входе в систему: %1</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Opens files and switches the machine off at the times of your tasks.</source>
        <extracomment>Command line help (--help): the description at its head.</extracomment>
        <translation>Открывает файлы и выключает компьютер в назначенное задачам время.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <extracomment>Command line help: the option --help.</extracomment>
        <translation>Показать эту справку и выйти.</translation>
    </message>
    <message>
        <source>Show the program&apos;s version and exit.</source>
        <extracomment>Command line help: the option --version.</extracomment>
        <translation>Показать версию программы и выйти.</translation>
    </message>
    <message>
        <source>Start with the window hidden in the tray (minimised where there is no tray), as the start at login does.</source>
        <extracomment>Command line help: the option --tray.</extracomment>
        <translation>Запуститься с окном, скрытым в области уведомлений (свёрнутым, где её нет), как при запуске при входе в систему.</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <extracomment>Command line mistake: %1 is the argument that the program does not take.</extracomment>
        <translation>Лишний аргумент «%1».</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.
</source>
        <extracomment>After a command line mistake: %1 is the program&apos;s name. Keep the line break at the end.</extracomment>
        <translation>Подробнее: «%1 --help».
</translation>
    </message>
    <message>
        <source>Unknown option &apos;%1&apos;.</source>
        <extracomment>Command line mistake: %1 is the option as it was given, such as &quot;--bogus&quot;.</extracomment>
        <translation>Неизвестный параметр «%1».</translation>
    </message>
    <message>
        <source>%1: the answer cannot be written: %2
</source>
        <extracomment>%1 is the program&apos;s name, %2 why its answer to --help or --version could not be printed (the system&apos;s text). Keep the line break at the end.</extracomment>
        <translation>%1: не удаётся вывести ответ: %2
</translation>
    </message>
</context>
<context>
    <name>InstallLayout</name>
    <message>
        <source>Kronvale has no folder for its task list, so it does not start: %1</source>
        <extracomment>%1 says why, e.g. &quot;there is no home folder: HOME is not set to an absolute path&quot;.</extracomment>
        <translation>У Kronvale нет папки для списка задач, поэтому программа не запускается: %1</translation>
    </message>
</context>
<context>
    <name>UserFolders</name>
    <message>
        <source>there is no home folder: HOME is not set to an absolute path</source>
        <extracomment>Why the user&apos;s own files cannot be written. HOME is the environment variable.</extracomment>
        <translation>нет домашней папки: в HOME не задан абсолютный путь</translation>
    </message>
</context>
<context>
    <name>kv::AdvanceWarning</name>
    <message>
        <source>%1 in %2 s</source>
        <extracomment>The warning&apos;s countdown: %1 is the event (&quot;Shut Down&quot;, &quot;Restart&quot; or &quot;Stand By&quot;), %2 the seconds left before it happens.</extracomment>
        <translation>%1 через %2 с</translation>
    </message>
    <message>
        <source>At %1</source>
        <extracomment>Below the countdown: %1 is the date and time the event is set for.</extracomment>
        <translation>В %1</translation>
    </message>
    <message>
        <source>At %1, postponed from %2</source>
        <extracomment>Below the countdown of a postponed event: %1 is the new date and time, %2 the time it was set for.</extracomment>
        <translation>В %1, отложено с %2</translation>
    </message>
</context>
<context>
    <name>kv::DateTimeText</name>
    <message>
        <source></source>
        <comment>Messages about the cells of a task, shown in the error box. The error box adds a full stop to a message unless it ends in &quot;.&quot;, &quot;!&quot;, &quot;)&quot; or a straight quote mark, so end each translation as its English ends.</comment>
        <translation></translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid date</source>
        <extracomment>%1 is the text that should be a date.</extracomment>
        <translation>«%1» — недопустимая дата</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid time</source>
        <extracomment>%1 is the text that should be a time.</extracomment>
        <translation>«%1» — недопустимое время</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <extracomment>%1 is a cell of the task list that should hold a whole number (a fired mark or a start count).</extracomment>
        <translation>«%1» — недопустимое целое число</translation>
    </message>
</context>
<context>
    <name>kv::DesktopEntry</name>
    <message>
        <source>The launcher %1 could not start its program: %2</source>
        <translation>Ярлык %1 не смог запустить свою программу: %2</translation>
    </message>
    <message>
        <source>The program %1 that the launcher %2 starts cannot be found.</source>
        <translation>Программа %1, которую запускает ярлык %2, не найдена.</translation>
    </message>
    <message>
        <source>%1 is not a launcher of an application that can be started here.</source>
        <translation>%1 не является ярлыком приложения, которое можно здесь запустить.</translation>
    </message>
</context>
<context>
    <name>kv::FailureNotices</name>
    <message>
        <source>Not done: %1</source>
        <translation>Не выполнено: %1</translation>
    </message>
    <message>
        <source>%1
Row %2, %3, fired at %4.</source>
        <extracomment>A task that fired but was not carried out, or not yet: %1 is why or what is known (a sentence), %2 its row number, %3 its mode, %4 the date and time it fired.</extracomment>
        <translation>%1
Строка %2, %3, сработала в %4.</translation>
    </message>
    <message>
        <source>%1 tasks not done</source>
        <extracomment>Title of the tray message that lists the tasks not carried out; %1 is how many.</extracomment>
        <translation>Не выполнено задач: %1</translation>
    </message>
    <message>
        <source>No answer yet: %1</source>
        <translation>Ответа пока нет: %1</translation>
    </message>
    <message>
        <source>The system has answered after all and carried it out.</source>
        <translation>Система всё-таки ответила и выполнила это.</translation>
    </message>
    <message>
        <source>Done late: %1</source>
        <translation>Выполнено с опозданием: %1</translation>
    </message>
    <message>
        <source>The computer will not wake for tasks</source>
        <extracomment>Title of the notice that the choice &quot;Wake the computer for tasks&quot; cannot be carried out.</extracomment>
        <translation>Компьютер не будет пробуждаться для задач</translation>
    </message>
</context>
<context>
    <name>kv::FileBaseDialogs</name>
    <message>
        <source>Text (*.log)</source>
        <extracomment>File type of the dialogs of &quot;Save base&quot; and &quot;Open base&quot;; keep &quot;(*.log)&quot;.</extracomment>
        <translation>Текст (*.log)</translation>
    </message>
    <message>
        <source>Tasks are not stopped</source>
        <extracomment>Title of the box that refuses &quot;New base&quot; while a task of the list has already fired.</extracomment>
        <translation>Задачи не остановлены</translation>
    </message>
    <message>
        <source>Tasks should be stopped!</source>
        <extracomment>The text of that box.</extracomment>
        <translation>Задачи должны быть остановлены!</translation>
    </message>
    <message>
        <source>Save the task list elsewhere before Kronvale closes?</source>
        <translation>Сохранить список задач в другом месте, прежде чем Kronvale закроется?</translation>
    </message>
    <message>
        <source>Save elsewhere...</source>
        <extracomment>Button of that question: save the list to another file.</extracomment>
        <translation>Сохранить в другом месте...</translation>
    </message>
    <message>
        <source>Quit anyway</source>
        <extracomment>Button of that question: close without saving.</extracomment>
        <translation>Всё равно выйти</translation>
    </message>
</context>
<context>
    <name>kv::ForecastText</name>
    <message>
        <source>Next: %1, in %2</source>
        <extracomment>The tool tip of a task row: %1 is the date and time of its next firing, %2 how long until then (&quot;14 h 32 min&quot;).</extracomment>
        <translation>Следующий раз: %1, через %2</translation>
    </message>
    <message>
        <source>Done</source>
        <extracomment>The tool tip of a once-only task that has fired.</extracomment>
        <translation>Выполнено</translation>
    </message>
    <message>
        <source>Never: the mode is not one of the task modes</source>
        <translation>Никогда: такого режима у задач нет</translation>
    </message>
    <message>
        <source>%1 s</source>
        <extracomment>Durations in the row tool tip: seconds; minutes; hours and minutes; days and hours.</extracomment>
        <translation>%1 с</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 мин</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 ч %2 мин</translation>
    </message>
    <message>
        <source>%1 d %2 h</source>
        <translation>%1 д %2 ч</translation>
    </message>
</context>
<context>
    <name>kv::HelperWakeAlarm</name>
    <message>
        <source>The helper program %1 is not installed.</source>
        <extracomment>Tool tip of the greyed-out &quot;Wake the computer for tasks&quot;: %1 is the helper program&apos;s file name.</extracomment>
        <translation>Вспомогательная программа %1 не установлена.</translation>
    </message>
    <message>
        <source>The helper program %1 lacks the capability to wake the computer. An administrator can give it with: setcap cap_wake_alarm+ep %1</source>
        <extracomment>Tool tip of the greyed-out &quot;Wake the computer for tasks&quot;: %1 is the helper program&apos;s file name. Keep the command as it stands.</extracomment>
        <translation>У вспомогательной программы %1 нет права пробуждать компьютер. Администратор может дать его командой: setcap cap_wake_alarm+ep %1</translation>
    </message>
    <message>
        <source>The helper program %1 cannot set a wake alarm: %2</source>
        <extracomment>Tool tip of the greyed-out &quot;Wake the computer for tasks&quot;: %1 is the helper program&apos;s file name, %2 what went wrong, in the system&apos;s words.</extracomment>
        <translation>Вспомогательная программа %1 не может поставить будильник пробуждения: %2</translation>
    </message>
    <message>
        <source>The wake alarm could not be set: %1</source>
        <extracomment>Why the computer will not wake for tasks: %1 is the system&apos;s reason.</extracomment>
        <translation>Не удалось поставить будильник пробуждения: %1</translation>
    </message>
    <message>
        <source>The helper program %1 has ended.</source>
        <extracomment>Why the computer will not wake for tasks: the helper program has ended.</extracomment>
        <translation>Вспомогательная программа %1 завершилась.</translation>
    </message>
</context>
<context>
    <name>kv::LinuxSystemActions</name>
    <message>
        <source>The task names no file.</source>
        <translation>В задаче не указан файл.</translation>
    </message>
    <message>
        <source>The desktop&apos;s opener (xdg-open) could not be started.</source>
        <translation>Не удалось запустить средство открытия файлов рабочего стола (xdg-open).</translation>
    </message>
    <message>
        <source>The file %1 does not exist.</source>
        <translation>Файл %1 не существует.</translation>
    </message>
    <message>
        <source>No display power control is reachable.</source>
        <translation>Управление питанием экрана недоступно.</translation>
    </message>
    <message>
        <source>The system refused: %1</source>
        <translation>Система отказала: %1</translation>
    </message>
    <message>
        <source>The system&apos;s power control (logind) cannot be reached.</source>
        <translation>Системное управление питанием (logind) недоступно.</translation>
    </message>
    <message>
        <source>The system&apos;s power control (logind) has not answered yet. The request stays with it and may still be carried out.</source>
        <translation>Системное управление питанием (logind) пока не ответило. Запрос остаётся у него и ещё может быть выполнен.</translation>
    </message>
    <message>
        <source>The program %1 could not be started: %2</source>
        <translation>Не удалось запустить программу %1: %2</translation>
    </message>
    <message>
        <source>The desktop&apos;s opener (xdg-open) failed with status %1.</source>
        <translation>Средство открытия файлов рабочего стола (xdg-open) завершилось с кодом ошибки %1.</translation>
    </message>
    <message>
        <source>The desktop&apos;s opener (xdg-open) failed: %1</source>
        <translation>Средство открытия файлов рабочего стола (xdg-open) сообщило об ошибке: %1</translation>
    </message>
</context>
<context>
    <name>kv::Modes</name>
    <message>
        <source>Simple</source>
        <extracomment>A task&apos;s schedule: once, at its date and time. Shown in the grid&apos;s Mode column, and as the part in brackets of an event task&apos;s mode.</extracomment>
        <translation>Однократно</translation>
    </message>
    <message>
        <source>Monday</source>
        <extracomment>A task&apos;s schedule, every Monday. Also an item of the editor&apos;s day list, after &quot;Everyone:&quot;.</extracomment>
        <translation>Понедельник</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>Вторник</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>Среда</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>Четверг</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>Пятница</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>Суббота</translation>
    </message>
    <message>
        <source>Sunday</source>
        <translation>Воскресенье</translation>
    </message>
    <message>
        <source>Every day</source>
        <extracomment>A task&apos;s schedule, every day: the last item of the editor&apos;s day list.</extracomment>
        <translation>Ежедневно</translation>
    </message>
    <message>
        <source>Shut Down</source>
        <extracomment>Power event: switches the machine off.</extracomment>
        <translation>Выключение</translation>
    </message>
    <message>
        <source>Restart</source>
        <extracomment>Power event: restarts the machine.</extracomment>
        <translation>Перезагрузка</translation>
    </message>
    <message>
        <source>Stand By</source>
        <extracomment>Power event: hibernates the machine, or suspends it where it cannot hibernate.</extracomment>
        <translation>Спящий режим</translation>
    </message>
    <message>
        <source>Stand Off</source>
        <extracomment>Power event: switches the display off; the machine runs on.</extracomment>
        <translation>Гашение экрана</translation>
    </message>
    <message>
        <source>%1(%2)</source>
        <extracomment>An event task&apos;s mode in the grid: %1 is the event (&quot;Shut Down&quot; ...), %2 its schedule (&quot;Simple&quot;, &quot;Monday&quot; ... &quot;Every day&quot;), both as translated here. The English writes the bracket straight after the event, as the task base stores it.</extracomment>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>kv::SingleInstance</name>
    <message>
        <source>Kronvale is already running on the task base folder %1, but it does not answer. Two copies would fire every task twice, so this one does not start.</source>
        <extracomment>%1 is the folder of the task bases. The running copy did not answer the request to show its window.</extracomment>
        <translation>Kronvale уже работает с папкой баз задач %1, но не отвечает. Две копии выполняли бы каждую задачу дважды, поэтому эта копия не запускается.</translation>
    </message>
    <message>
        <source>Another copy of Kronvale, perhaps one of another user, is already running on the task base folder %1. Two copies would fire every task twice, so this one does not start.</source>
        <extracomment>%1 is the folder of the task bases.</extracomment>
        <translation>Другая копия Kronvale, возможно, другого пользователя, уже работает с папкой баз задач %1. Две копии выполняли бы каждую задачу дважды, поэтому эта копия не запускается.</translation>
    </message>
</context>
<context>
    <name>kv::TAboutForm</name>
    <message>
        <source>About Kronvale</source>
        <extracomment>Title of the about box, which is 208 pixels wide: the window manager cuts a longer title.</extracomment>
        <translation>О Kronvale</translation>
    </message>
    <message>
        <source>E-mail: </source>
        <extracomment>Link in the about box, followed by the support mail address; keep the blank at the end. The box is 208 pixels wide.</extracomment>
        <translation>Почта: </translation>
    </message>
</context>
<context>
    <name>kv::TCalendarForm</name>
    <message>
        <source>Calender</source>
        <extracomment>Title of the calendar window that picks a task&apos;s date. The English title has always been spelt so; translate it as &quot;Calendar&quot;.</extracomment>
        <translation>Календарь</translation>
    </message>
    <message>
        <source>Task date</source>
        <extracomment>Name of the calendar for screen readers.</extracomment>
        <translation>Дата задания</translation>
    </message>
    <message>
        <source>Previous month</source>
        <extracomment>Names of the calendar&apos;s navigation for screen readers.</extracomment>
        <translation>Предыдущий месяц</translation>
    </message>
    <message>
        <source>Next month</source>
        <translation>Следующий месяц</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Месяц</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Год</translation>
    </message>
</context>
<context>
    <name>kv::TEditTaskForm</name>
    <message>
        <source>New/modify task</source>
        <extracomment>Title of the task editor, which adds a new task or changes one.</extracomment>
        <translation>Новая задача/изменение задачи</translation>
    </message>
    <message>
        <source>File</source>
        <extracomment>Tab of the page for a task that opens a file; also the caption of the group of the file&apos;s folder and name.</extracomment>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Event</source>
        <extracomment>Tab of the page for a task that performs a power event (shut down, restart ...); also the caption of the group of the four events.</extracomment>
        <translation>Событие</translation>
    </message>
    <message>
        <source>Path:</source>
        <extracomment>Label of the field for the folder of the file; 40 pixels wide.</extracomment>
        <translation>Путь:</translation>
    </message>
    <message>
        <source>File:</source>
        <extracomment>Label of the field for the name of the file; 40 pixels wide.</extracomment>
        <translation>Файл:</translation>
    </message>
    <message>
        <source>Open file</source>
        <extracomment>Button: chooses the file with a file dialog; 92 pixels wide.</extracomment>
        <translation>Обзор</translation>
    </message>
    <message>
        <source>Timer</source>
        <extracomment>Caption of the group of the date and the time at which the task fires.</extracomment>
        <translation>Время запуска</translation>
    </message>
    <message>
        <source>Expanded</source>
        <extracomment>Caption of the group in which the schedule is chosen: &quot;Everyone:&quot; with a day, or &quot;Simple&quot; (once). The English caption is the program&apos;s own; translate what the group is for.</extracomment>
        <translation>Расписание</translation>
    </message>
    <message>
        <source>Everyone:</source>
        <extracomment>Radio button before the day list (&quot;Monday&quot; ... &quot;Every day&quot;): the task fires every week on that day, or every day. &quot;Everyone&quot; stands for &quot;every&quot;. About 70 pixels for the text.</extracomment>
        <translation>Повтор:</translation>
    </message>
    <message>
        <source>Simple</source>
        <extracomment>Radio button: the task fires once, at its date and time.</extracomment>
        <translation>Однократно</translation>
    </message>
    <message>
        <source>Cal</source>
        <extracomment>Short for &quot;Calendar&quot;: the small button (36 pixels) beside the date field that opens the calendar. Three or four characters fit.</extracomment>
        <translation>Дата</translation>
    </message>
    <message>
        <source>Current Date</source>
        <extracomment>Button: puts today&apos;s date into the date field; 132 pixels wide.</extracomment>
        <translation>Сегодня</translation>
    </message>
    <message>
        <source>Current time</source>
        <extracomment>Button: puts the present time into the time field; 90 pixels wide.</extracomment>
        <translation>Сейчас</translation>
    </message>
    <message>
        <source>Add new task!</source>
        <extracomment>Button: adds the task to the list; 104 pixels wide.</extracomment>
        <translation>Добавить!</translation>
    </message>
    <message>
        <source>Modify task!</source>
        <extracomment>Button in place of &quot;Add new task!&quot; while a task is being changed: rewrites it; 104 pixels wide.</extracomment>
        <translation>Изменить!</translation>
    </message>
    <message>
        <source> - This date is not correct!</source>
        <extracomment>Error message after the date as typed, which stands before it in double quotes: &quot;32.13.2026&quot; - This date is not correct! Keep the blank at the start. No full stop is added after a message that ends in &quot;!&quot;.</extracomment>
        <translation> — неверная дата!</translation>
    </message>
    <message>
        <source> - This time is not correct!</source>
        <extracomment>Error message after the time as typed, in double quotes before it: &quot;25:99&quot; - This time is not correct! Keep the blank at the start.</extracomment>
        <translation> — неверное время!</translation>
    </message>
    <message>
        <source>Date</source>
        <extracomment>Name of the date field for screen readers.</extracomment>
        <translation>Дата</translation>
    </message>
    <message>
        <source>Time</source>
        <extracomment>Name of the time field for screen readers.</extracomment>
        <translation>Время</translation>
    </message>
    <message>
        <source>Calendar</source>
        <extracomment>Name of the &quot;Cal&quot; button for screen readers: it opens the calendar.</extracomment>
        <translation>Календарь</translation>
    </message>
    <message>
        <source>Day</source>
        <extracomment>Description of the day list beside &quot;Everyone:&quot; for screen readers.</extracomment>
        <translation>День</translation>
    </message>
</context>
<context>
    <name>kv::TMainForm</name>
    <message>
        <source>Kronvale v1.1</source>
        <extracomment>The main window&apos;s title: the program&apos;s name and version.</extracomment>
        <translation>Kronvale v1.1</translation>
    </message>
    <message>
        <source>Open</source>
        <extracomment>Tray menu: shows the main window again.</extracomment>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Start at login</source>
        <extracomment>Item with a check mark, in the File menu and the tray menu: whether the program starts in the tray when the user logs in.</extracomment>
        <translation>Запускать при входе в систему</translation>
    </message>
    <message>
        <source>Close</source>
        <extracomment>Tray menu: saves the task list and ends the program.</extracomment>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Tidewatch</source>
        <extracomment>Tool tip of the program&apos;s icon in the notification area. Not the program&apos;s name but a nickname of its own: one who keeps watch on the tide, that is on time. Translate the idea, not the letters.</extracomment>
        <translation>Часовой</translation>
    </message>
    <message>
        <source>Play now!</source>
        <extracomment>Button: runs the selected task at once. The five buttons of the main window leave about 78 pixels beside their picture (the two below about 94): keep their captions short.</extracomment>
        <translation>Запустить!</translation>
    </message>
    <message>
        <source>New task!</source>
        <extracomment>Tasks menu and the list&apos;s menu: opens the task editor for a new task.</extracomment>
        <translation>Создать задачу!</translation>
    </message>
    <message>
        <source>Edit task!</source>
        <extracomment>Tasks menu and the list&apos;s menu: opens the task editor on the selected task.</extracomment>
        <translation>Изменить задачу!</translation>
    </message>
    <message>
        <source>Delete task!</source>
        <extracomment>Tasks menu: removes the selected task, without a question.</extracomment>
        <translation>Удалить задачу!</translation>
    </message>
    <message>
        <source>Delete all tasks!</source>
        <extracomment>Tasks menu: removes every task, without a question.</extracomment>
        <translation>Удалить все задачи!</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Save base</source>
        <extracomment>File menu: saves the task list to a file the user chooses. A &quot;base&quot; (task base) is the file that holds the task list.</extracomment>
        <translation>Сохранить базу</translation>
    </message>
    <message>
        <source>New base</source>
        <extracomment>File menu: empties the task list, which is then saved as KV_new.log.</extracomment>
        <translation>Новая база</translation>
    </message>
    <message>
        <source>Open base</source>
        <extracomment>File menu: reads a task base file into the list.</extracomment>
        <translation>Открыть базу</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Tasks</source>
        <extracomment>Name of the task grid for screen readers.</extracomment>
        <translation>Задачи</translation>
    </message>
    <message>
        <source>Play naw!</source>
        <extracomment>Tasks menu: the same command as the button &quot;Play now!&quot;; the menu has always spelt it &quot;naw&quot;. Translate it as &quot;Play now!&quot;.</extracomment>
        <translation>Запустить сейчас!</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Support</source>
        <extracomment>Help menu (F1): opens the program&apos;s help page.</extracomment>
        <translation>Помощь</translation>
    </message>
    <message>
        <source>Ostrova home page</source>
        <extracomment>Help menu: opens the web page of Ostrova, the maker of the program; &quot;Ostrova&quot; is a name.</extracomment>
        <translation>Сайт Ostrova</translation>
    </message>
    <message>
        <source>Kronvale home page</source>
        <extracomment>Help menu: opens the program&apos;s web page.</extracomment>
        <translation>Страница Kronvale</translation>
    </message>
    <message>
        <source>About</source>
        <extracomment>Help menu: shows the about box.</extracomment>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Play Now!</source>
        <extracomment>The list&apos;s context menu: the same command as the button &quot;Play now!&quot;.</extracomment>
        <translation>Запустить сейчас!</translation>
    </message>
    <message>
        <source>Delete task</source>
        <extracomment>The list&apos;s context menu: the same command as &quot;Delete task!&quot;.</extracomment>
        <translation>Удалить задачу</translation>
    </message>
    <message>
        <source>Delete all tasks</source>
        <extracomment>The list&apos;s context menu: the same command as &quot;Delete all tasks!&quot;.</extracomment>
        <translation>Удалить все задачи</translation>
    </message>
    <message>
        <source>New task!</source>
        <comment>button</comment>
        <extracomment>Button: opens the task editor for a new task, as the item of the Tasks menu does.</extracomment>
        <translation>Создать!</translation>
    </message>
    <message>
        <source>Edit task!</source>
        <comment>button</comment>
        <extracomment>Button: opens the task editor on the selected task, as the item of the Tasks menu does.</extracomment>
        <translation>Изменить!</translation>
    </message>
    <message>
        <source>Delete task!</source>
        <comment>button</comment>
        <extracomment>Button: removes the selected task, without a question, as the item of the Tasks menu does.</extracomment>
        <translation>Удалить задачу!</translation>
    </message>
    <message>
        <source>Delete all tasks!</source>
        <comment>button</comment>
        <extracomment>Button: removes every task, without a question, as the item of the Tasks menu does.</extracomment>
        <translation>Удалить все!</translation>
    </message>
    <message>
        <source>Wake the computer for tasks</source>
        <extracomment>Item with a check mark, in the File menu and the tray menu: whether the program wakes the computer from sleep in time for the next task.</extracomment>
        <translation>Пробуждать компьютер для задач</translation>
    </message>
</context>
<context>
    <name>kv::TWarningForm</name>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Postpone</source>
        <translation>Отложить</translation>
    </message>
    <message>
        <source>5 minutes</source>
        <translation>5 минут</translation>
    </message>
    <message>
        <source>15 minutes</source>
        <translation>15 минут</translation>
    </message>
    <message>
        <source>1 hour</source>
        <translation>1 час</translation>
    </message>
</context>
<context>
    <name>kv::TZephCustomButton</name>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <extracomment>Captions of the predefined kinds of the skinned button; &quot;&amp;&quot; marks the access key.</extracomment>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Да</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Нет</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Закрыть</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Прервать</translation>
    </message>
    <message>
        <source>&amp;Retry</source>
        <translation>&amp;Повторить</translation>
    </message>
    <message>
        <source>&amp;Ignore</source>
        <translation>&amp;Пропустить</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation>&amp;Все</translation>
    </message>
    <message>
        <source>&amp;Silly</source>
        <extracomment>A joke kind of the button library, with a silly face for a picture; no window of the program shows it.</extracomment>
        <translation>&amp;Глупо</translation>
    </message>
</context>
<context>
    <name>kv::TaskBase</name>
    <message>
        <source></source>
        <comment>Messages of the task base files, shown in the error box. The error box adds a full stop to a message unless it ends in &quot;.&quot;, &quot;!&quot;, &quot;)&quot; or a straight quote mark, so end each translation as its English ends.</comment>
        <translation></translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Файл не найден</translation>
    </message>
    <message>
        <source>File access denied</source>
        <translation>Доступ к файлу запрещён</translation>
    </message>
    <message>
        <source>I/O error %1</source>
        <extracomment>%1 is the system&apos;s error number.</extracomment>
        <translation>Ошибка ввода-вывода %1</translation>
    </message>
    <message>
        <source>This is no task base: it is larger than %1 MB, far more than %2 tasks take</source>
        <extracomment>%1: the largest size of a task base in megabytes; %2: the most tasks a list holds.</extracomment>
        <translation>Это не база задач: она больше %1 МБ, а %2 задачам нужно гораздо меньше</translation>
    </message>
    <message>
        <source>This is no task base: it is not a regular file</source>
        <translation>Это не база задач: это не обычный файл</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <extracomment>Why a task base could not be saved, after &quot;The task base %1 could not be saved:&quot;: a folder, a device or a pipe stands where the file should be.</extracomment>
        <translation>это не обычный файл</translation>
    </message>
    <message>
        <source>The task base %1 could not be saved: %2</source>
        <extracomment>%1 is the file, %2 why (a message of its own).</extracomment>
        <translation>Не удалось сохранить базу задач %1: %2</translation>
    </message>
    <message>
        <source>The task base %1 could not be read: %2 Nor could it be kept aside, so save a copy of it yourself before Kronvale saves its task list under that name</source>
        <extracomment>%1 is the file, %2 why (a message that ends with its full stop). The file could not be copied aside either, and the program will write its list under that name.</extracomment>
        <translation>Не удалось прочитать базу задач %1: %2 Отложить её копию тоже не удалось, поэтому сохраните копию сами, прежде чем Kronvale запишет под этим именем свой список задач</translation>
    </message>
    <message>
        <source>The task base %1 could not be read: %2 Its contents are kept in %3</source>
        <extracomment>%1 is the file, %2 why (a message that ends with its full stop), %3 the copy kept aside.</extracomment>
        <translation>Не удалось прочитать базу задач %1: %2 Её содержимое сохранено в %3</translation>
    </message>
    <message>
        <source>No rescue copy could be written either.</source>
        <translation>Запасную копию записать тоже не удалось.</translation>
    </message>
    <message>
        <source>The task list is kept in %1.</source>
        <translation>Список задач сохранён в %1.</translation>
    </message>
    <message>
        <source>When Kronvale last ended, it could not save its task list. The list was kept in:
%1
To take it back, choose &quot;Open base&quot; and give that name.</source>
        <extracomment>%1: the rescue copies, one a line. &quot;Open base&quot; is the File menu&apos;s item: write it as translated there.</extracomment>
        <translation>Когда Kronvale в прошлый раз завершал работу, ему не удалось сохранить список задач. Список сохранён в:
%1
Чтобы вернуть его, выберите «Открыть базу» и укажите это имя.</translation>
    </message>
</context>
<context>
    <name>kv::TaskBaseFormat</name>
    <message>
        <source></source>
        <comment>Messages about a file that is no task base, shown in the error box. The error box adds a full stop to a message unless it ends in &quot;.&quot;, &quot;!&quot;, &quot;)&quot; or a straight quote mark, so end each translation as its English ends.</comment>
        <translation></translation>
    </message>
    <message>
        <source>Invalid numeric input</source>
        <extracomment>A count at the head of a task base is not a number.</extracomment>
        <translation>Недопустимое числовое значение</translation>
    </message>
    <message>
        <source>This is no task base: it has %1 columns where a task base has %2.</source>
        <extracomment>%1: the count of columns in the file; %2: the count of a task base (6).</extracomment>
        <translation>Это не база задач: столбцов в ней — %1, а в базе задач — %2.</translation>
    </message>
    <message>
        <source>This is no task base: it counts %1 rows where a task base has 1 to %2 (at most %3 tasks).</source>
        <extracomment>%1: the count of rows in the file; %2: the most rows (255); %3: the most tasks (254).</extracomment>
        <translation>Это не база задач: строк в ней — %1, а в базе задач — от 1 до %2 (задач — не более %3).</translation>
    </message>
</context>
<context>
    <name>kv::TaskTable</name>
    <message>
        <source>Time</source>
        <extracomment>Column title: the date and time a task fires at.</extracomment>
        <translation>Время</translation>
    </message>
    <message>
        <source>File name/Event</source>
        <extracomment>Column title: the file a task opens, or its power event.</extracomment>
        <translation>Файл/событие</translation>
    </message>
    <message>
        <source>Path</source>
        <extracomment>Column title: the folder of the file a task opens.</extracomment>
        <translation>Путь</translation>
    </message>
    <message>
        <source>Mode</source>
        <extracomment>Column title: when a task fires (once, on a weekday, every day).</extracomment>
        <translation>Режим</translation>
    </message>
    <message>
        <source>Starts</source>
        <extracomment>Column title: how many times a task has fired.</extracomment>
        <translation>Запуски</translation>
    </message>
    <message>
        <source>The task list is full (%1 tasks).</source>
        <extracomment>%1 is 254, the most tasks a list holds.</extracomment>
        <translation>Список задач заполнен (задач — %1).</translation>
    </message>
</context>
<context>
    <name>kv::WakeCommand</name>
    <message>
        <source>The choice could not be saved in %1.</source>
        <extracomment>Why a choice of the user will be forgotten: %1 is the settings file&apos;s name.</extracomment>
        <translation>Не удалось сохранить выбор в %1.</translation>
    </message>
</context>
<context>
    <name>kv::WakeForTasks</name>
    <message>
        <source>Kronvale: a task is due</source>
        <extracomment>Why the program keeps the computer from going to sleep, as the system&apos;s power tools list it: the computer has woken for a task that has yet to fire.</extracomment>
        <translation>Kronvale: подошло время задачи</translation>
    </message>
</context>
<context>
    <name>kv::WarningNotices</name>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Postpone 15 minutes</source>
        <translation>Отложить на 15 минут</translation>
    </message>
    <message>
        <source>Open</source>
        <extracomment>The click on a warning&apos;s notice itself, which shows the main window; most desktops show no label for it.</extracomment>
        <translation>Открыть</translation>
    </message>
</context>
</TS>
