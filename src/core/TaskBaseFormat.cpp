// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaskBaseFormat.h"

#include "Errors.h"
#include "TaskTable.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <array>

/* TRANSLATOR kv::TaskBaseFormat

   Messages about a file that is no task base, shown in the error box. The error box adds a full
   stop to a message unless it ends in ".", "!", ")" or a straight quote mark, so end each
   translation as its English ends.
*/

namespace kv::TaskBaseFormat {

namespace {

constexpr char kEndOfFile = 0x1A;

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(kv::TaskBaseFormat)
};

// Windows-1251, bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kWindows1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

QString fromWindows1251(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b < 0x80 ? char16_t(b) : kWindows1251[b - 0x80]);
    }
    return text;
}

// Keeps a byte-order mark inside the text as the character it is: only the one
// at the very start of the file is dropped.
QStringDecoder utf8Decoder()
{
    return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                    QStringDecoder::Flag::ConvertInitialBom);
}

// Checked piece by piece, so a large file is never decoded whole just to ask.
// Pieces end before a character, never inside one.
bool isUtf8(QByteArrayView bytes)
{
    constexpr qsizetype kPiece = 64 * 1024;
    QStringDecoder decoder = utf8Decoder();
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype end = qMin(at + kPiece, bytes.size());
        while (end < bytes.size() && end > at + 1 && (bytes[end] & 0xC0) == 0x80)
            --end;
        [[maybe_unused]] const QString piece = decoder.decode(bytes.sliced(at, end - at));
        if (decoder.hasError())
            return false;
        at = end;
    }
    return true;
}

// Hands out the lines one at a time, split at LF, CR or CR LF; the last line
// counts only when it is not empty. Nothing is kept of the lines already read.
class Lines
{
public:
    explicit Lines(QByteArrayView bytes) : m_bytes(bytes) {}

    std::optional<QByteArrayView> next()
    {
        if (m_at >= m_bytes.size())
            return std::nullopt;
        qsizetype end = m_at;
        while (end < m_bytes.size() && m_bytes[end] != '\r' && m_bytes[end] != '\n')
            ++end;
        const QByteArrayView line = m_bytes.sliced(m_at, end - m_at);
        m_at = end + 1;
        if (end + 1 < m_bytes.size() && m_bytes[end] == '\r' && m_bytes[end + 1] == '\n')
            ++m_at;
        return line;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
};

// Reads the integers of the first lines as the runtime's text files do: blanks
// and line breaks before the number are skipped, the rest of its line is not
// looked at, and the end of the file reads as 0.
int readNumber(Lines &lines)
{
    std::optional<QByteArrayView> line;
    do {
        line = lines.next();
        if (!line)
            return 0;
    } while (line->trimmed().isEmpty());
    qsizetype begin = 0;
    while ((*line)[begin] == ' ' || (*line)[begin] == '\t')
        ++begin;
    qsizetype end = begin;
    while (end < line->size() && (*line)[end] != ' ' && (*line)[end] != '\t')
        ++end;
    bool ok = false;
    const int value = line->sliced(begin, end - begin).toInt(&ok);
    if (!ok)
        //: A count at the head of a task base is not a number.
        throw Error(Texts::tr("Invalid numeric input"));
    return value;
}

QByteArray cellText(const QString &cell)
{
    // A line break or an end-of-file byte inside a cell would shift every later
    // cell of the base; such characters are stored as blanks.
    QString text = cell;
    for (QChar &c : text)
        if (c == u'\r' || c == u'\n' || c == QChar(kEndOfFile))
            c = u' ';
    return text.toUtf8();
}

} // namespace

QByteArray encode(const TaskTable &table)
{
    QByteArray bytes;
    bytes += QByteArray::number(table.columnCount()) + "\r\n";
    bytes += QByteArray::number(table.rowCount()) + "\r\n";
    for (int c = 0; c < table.columnCount(); ++c)
        for (int r = 1; r < table.rowCount(); ++r)
            bytes += cellText(table.cell(c, r)) + "\r\n";
    return bytes;
}

std::optional<Contents> decode(const QByteArray &file)
{
    QByteArrayView bytes(file);
    if (const qsizetype end = bytes.indexOf(kEndOfFile); end >= 0)
        bytes = bytes.first(end);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    Lines lines(bytes);

    const int columns = readNumber(lines);
    if (columns <= 1)
        return std::nullopt;
    if (columns != TaskTable::kColumnCount)
        //: %1: the count of columns in the file; %2: the count of a task base (6).
        throw Error(Texts::tr("This is no task base: it has %1 columns where a task base has %2.")
                        .arg(columns)
                        .arg(TaskTable::kColumnCount));
    Contents contents;
    contents.rowCount = readNumber(lines);
    if (contents.rowCount < 1 || contents.rowCount > kMaxRows)
        //: %1: the count of rows in the file; %2: the most rows (255); %3: the most tasks
        //: (254).
        throw Error(Texts::tr("This is no task base: it counts %1 rows where a task base has 1 to "
                              "%2 (at most %3 tasks).")
                        .arg(contents.rowCount)
                        .arg(kMaxRows)
                        .arg(TaskTable::kMaxTasks));

    const bool utf8 = isUtf8(bytes);
    QStringDecoder decoder = utf8Decoder();
    const qsizetype count = qsizetype(columns) * (contents.rowCount - 1);
    contents.cells.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const auto line = lines.next();
        if (!line)
            contents.cells << QString();
        else
            contents.cells << (utf8 ? decoder.decode(*line) : fromWindows1251(*line));
    }
    return contents;
}

void apply(const Contents &contents, TaskTable &table)
{
    table.setRowCount(contents.rowCount);
    for (int c = 0; c < TaskTable::kColumnCount; ++c)
        for (int r = 1; r < contents.rowCount; ++r)
            table.setCell(c, r, contents.cell(c, r));
}

} // namespace kv::TaskBaseFormat
