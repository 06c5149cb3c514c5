// How long the program's pattern search takes against the bare query it runs.
//
//   search_bench [--scale N] [--runs K] [word database]   (default: the build's Lexivane/LexivaneDB)
//
// The program opens only a file named LexivaneDB; the bench stands in as the program's
// executable beside that file, checks that the window opened exactly it, and opens its bare
// connection the same way the program does. --scale N builds the N-times database in a
// temporary folder (every record repeated with a distinct id and a suffixed word) and
// measures that.
//
// For each pattern: (a) the bare query, stepped through the SQLite C API reading every
// column of every record; (b) the real main window's search, timed whole once the pattern
// shows in the search field: the list still holds the previous result, so clearing it is part
// of the time. The first run of each in a
// fresh process is reported apart from the warm medians; the runs interleave bare and program,
// so that a load on the machine touches both alike, and "paired" is the median of each run's
// program time over the bare time beside it. Peak memory is the fresh process's peak
// after that one search. Last, the time from a Return in the search field until the count
// label has painted the result (and until the list has taken all of it) for "%".
#include "app/startup.h"
#include "platform/database.h"
#include "platform/folder_item.h"
#include "platform/runtime.h"
#include "search/window1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <vector>

namespace {

const QStringList kPatterns = {"c-t", "ca-", "-----", "--------------", "a--", "%"};

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "search_bench: %s\n", qPrintable(message));
    std::exit(1);
}

QString defaultDatabase(const char* argv0)
{
    // bench/ and Lexivane/ are both children of the build folder.
    const QString beside = QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath() + "/../Lexivane/LexivaneDB";
    if (QFileInfo::exists(beside)) return QFileInfo(beside).canonicalFilePath();
#ifdef LEXIVANE_DEFAULT_DATABASE
    return QStringLiteral(LEXIVANE_DEFAULT_DATABASE);
#else
    return beside;
#endif
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double msSince(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

// A line of /proc/self/status in megabytes: VmHWM is the peak, VmRSS the present.
double memoryMB(const char* key)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(int(qstrlen(key)) + 1).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

QString loadAverage()
{
    QFile file("/proc/loadavg");
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(' ', 0, 2) : "?";
}

void exec(sqlite3* db, const QString& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK)
        fail("building the scaled database: " + QString::fromUtf8(message) + "\n" + sql);
}

// The source's tables and indexes, with thewords holding every record `times` times: the
// first copy as it is, the others with the copy's number after the word and ids after the
// last one, copy after copy, so that a word's senses stay consecutive.
void buildScaledDatabase(const QString& source, const QString& target, int times)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(target).constData(), &db) != SQLITE_OK) fail("cannot make " + target);
    exec(db, "ATTACH '" + QString(source).replace('\'', "''") + "' AS source");
    std::vector<QString> tables, indexes;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT type, sql FROM source.sqlite_master WHERE sql IS NOT NULL", -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)));
        (qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), "index") == 0 ? indexes : tables)
            .push_back(sql);
    }
    sqlite3_finalize(statement);
    exec(db, "BEGIN");
    for (const QString& sql : tables) exec(db, sql);
    exec(db, "INSERT INTO main.licence SELECT * FROM source.licence");
    for (int copy = 0; copy < times; ++copy)
        exec(db, QString("INSERT INTO main.thewords (id, word, type, definition)"
                         " SELECT id + %1 * (SELECT max(id) FROM source.thewords), word || '%2', type, definition"
                         " FROM source.thewords ORDER BY id")
                     .arg(copy)
                     .arg(copy == 0 ? QString() : QString::number(copy)));
    for (const QString& sql : indexes) exec(db, sql);
    exec(db, "COMMIT");
    sqlite3_close(db);
}

sqlite3* openBare(const QString& path)
{
    QString message;
    sqlite3* db = OpenReadOnlyDatabase(path, &message);
    if (!db) fail("cannot open " + path + ": " + message);
    return db;
}

// The query as the program builds it, run bare; returns the number of records.
long bareQuery(sqlite3* db, const QString& text, double* ms)
{
    QString pattern = text;
    pattern.replace("-", "_").replace("'", "''");
    const QByteArray sql = ("SELECT * from thewords where word like '" + pattern + "'").toUtf8();
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK)
        fail(QString("query failed: ") + sqlite3_errmsg(db));
    long records = 0;
    long long checksum = 0;
    const int columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(statement, c) == SQLITE_INTEGER) {
                checksum += sqlite3_column_int64(statement, c);
            } else {
                const unsigned char* bytes = sqlite3_column_text(statement, c);
                checksum += sqlite3_column_bytes(statement, c) + (bytes ? bytes[0] : 0);
            }
        }
        ++records;
    }
    sqlite3_finalize(statement);
    *ms = msSince(timer);
    if (checksum == 42) std::fputc(' ', stderr);  // keeps the reads from being optimised away
    return records;
}

// Starts the program as its entry routine does, standing in as its executable beside the
// database, and answers its start message; refuses when the window opened another file.
Window1* startProgram(int& argc, char** argv, const QString& path)
{
    RuntimeInit(argc, argv);
    SetExecutablePathForTesting(QFileInfo(path).absolutePath() + "/lexivane/bin/lexivane");
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
    });
    timer->start();
    RunFrameworkInitialization(Startup);
    Window1* w = Window1::Instance();
    if (!w || QuitRequested() || !w->db || !w->db->DatabaseFile()) fail("the main window did not open the database");
    if (QFileInfo(w->db->DatabaseFile()->NativePath()).canonicalFilePath() != QFileInfo(path).canonicalFilePath())
        fail("the main window opened " + w->db->DatabaseFile()->NativePath() + ", not " + path);
    QApplication::processEvents();
    return w;
}

// The program's search, timed whole as the button runs it; the timer starts with it.
double programSearch(Window1* w, const QString& pattern, QElapsedTimer& timer)
{
    // The field shows the pattern before the search starts, as it does when the user has
    // typed it: its repaint is not the search's.
    w->EFfindword()->SetText(pattern);
    QApplication::processEvents();
    timer.start();
    w->getwords();
    return msSince(timer);
}

// Notes when the count label paints.
class PaintWatch : public QObject {
public:
    QElapsedTimer clock;
    double lastPaint = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) lastPaint = msSince(clock);
        return false;
    }
};

// A fresh process: one program search, then one bare query; prints the times, the counts
// and the memory at rest and at its peak after the search.
int firstRun(int& argc, char** argv, const QString& pattern, const QString& path)
{
    Window1* w = startProgram(argc, argv, path);
    const double rest = memoryMB("VmHWM:");
    QElapsedTimer timer;
    const double program = programSearch(w, pattern, timer);
    QApplication::processEvents();
    const double peak = memoryMB("VmHWM:");
    sqlite3* db = openBare(path);
    double bare = 0;
    const long records = bareQuery(db, pattern, &bare);
    std::printf("%.2f %.2f %d %ld %.1f %.1f\n", program, bare, w->Listbox1()->ListCount(), records, rest, peak);
    sqlite3_close(db);
    CloseAllWindows();
    return 0;
}

struct FirstRun {
    double program = 0, bare = 0, rest = 0, peak = 0;
};

FirstRun firstRunInFreshProcess(const char* argv0, const QString& pattern, const QString& path)
{
    QProcess child;
    child.start(QString::fromLocal8Bit(argv0), {"--first-run", pattern, path});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        fail("the fresh process failed: " + QString::fromLocal8Bit(child.readAllStandardError()));
    const QStringList f = QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(' ');
    if (f.size() != 6) fail("the fresh process printed no figures");
    return {f[0].toDouble(), f[1].toDouble(), f[4].toDouble(), f[5].toDouble()};
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int scale = 1, runs = 15;
    QString path;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = argv[i];
        if (arg == "--first-run" && i + 2 < argc)
            return firstRun(argc, argv, QString::fromLocal8Bit(argv[i + 1]), QString::fromLocal8Bit(argv[i + 2]));
        if (arg == "--scale" && i + 1 < argc) scale = std::max(1, atoi(argv[++i]));
        else if (arg == "--runs" && i + 1 < argc) runs = std::max(1, atoi(argv[++i]));
        else if (arg.startsWith("-")) fail("usage: search_bench [--scale N] [--runs K] [word database]");
        else path = QString::fromLocal8Bit(arg);
    }
    if (path.isEmpty()) path = defaultDatabase(argv[0]);
    if (!QFileInfo(path).isFile()) fail("no word database at " + path + " (build lexivane_word_database or name one)");
    if (QFileInfo(path).fileName() != "LexivaneDB")
        fail("the program opens only a file named LexivaneDB, and " + path + " is not one");
    path = QFileInfo(path).canonicalFilePath();

    QTemporaryDir scaled;
    if (scale > 1) {
        std::printf("building the %d-times database of %s ...\n", scale, qPrintable(path));
        std::fflush(stdout);
        const QString target = scaled.filePath("LexivaneDB");
        buildScaledDatabase(path, target, scale);
        path = target;
    }
    std::printf("word database: %s (%.1f MB)\nload average before: %s\n", qPrintable(path),
                double(QFileInfo(path).size()) / 1048576, qPrintable(loadAverage()));
    std::fflush(stdout);

    std::vector<FirstRun> first;
    for (const QString& pattern : kPatterns) first.push_back(firstRunInFreshProcess(argv[0], pattern, path));

    Window1* w = startProgram(argc, argv, path);
    sqlite3* db = openBare(path);
    std::printf("\n%-16s %8s %8s | %9s %9s %6s %6s | %9s %9s %6s | %9s\n", "pattern", "records", "rows", "bare ms",
                "prog ms", "ratio", "paired", "1st bare", "1st prog", "ratio", "shown ms");
    for (size_t p = 0; p < size_t(kPatterns.size()); ++p) {
        const QString& pattern = kPatterns[qsizetype(p)];
        std::vector<double> bare, program, shown;
        long records = 0;
        for (int run = 0; run <= runs; ++run) {  // run 0 leaves the previous result in the list
            // Either goes first in turn: the one that runs second finds the file's pages
            // fresh in the system's cache.
            double ms = 0;
            if (run % 2 == 0) records = bareQuery(db, pattern, &ms);
            QElapsedTimer timer;
            const double programMs = programSearch(w, pattern, timer);
            QApplication::processEvents();  // the view hears of the last rows, lays them out, paints
            const double shownMs = msSince(timer);
            if (run % 2 == 1) records = bareQuery(db, pattern, &ms);
            if (run == 0) continue;
            bare.push_back(ms);
            program.push_back(programMs);
            shown.push_back(shownMs);
        }
        const double b = median(bare), pr = median(program);
        // Each run's program time over the bare time measured beside it: a load that comes
        // and goes touches both of a pair alike.
        std::vector<double> paired;
        for (size_t run = 0; run < bare.size(); ++run) paired.push_back(program[run] / bare[run]);
        std::printf("%-16s %8ld %8d | %9.2f %9.2f %5.2fx %5.2fx | %9.2f %9.2f %5.2fx | %9.2f\n", qPrintable(pattern),
                    records, w->Listbox1()->ListCount(), b, pr, pr / b, median(paired), first[p].bare,
                    first[p].program, first[p].program / first[p].bare, median(shown));
        std::fflush(stdout);
    }

    // Return in the real window: the key goes to the search field, which leaves it to the
    // default button; the count label repaints at once when the search writes it.
    QWidget* field = w->EFfindword()->Widget();
    PaintWatch watch;
    w->StaticText3()->Widget()->installEventFilter(&watch);
    w->EFfindword()->SetText("%");
    std::vector<double> toLabel, toIdle, bare;
    for (int run = 0; run <= runs; ++run) {
        double bareMs = 0;
        bareQuery(db, "%", &bareMs);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, "\r");
        watch.clock.start();
        watch.lastPaint = 0;
        QApplication::sendEvent(field, &press);
        QApplication::sendEvent(field, &release);
        const double label = watch.lastPaint;
        QApplication::processEvents();
        if (run == 0) continue;
        toLabel.push_back(label);
        toIdle.push_back(msSince(watch.clock));
        bare.push_back(bareMs);
    }
    const double label = median(toLabel), idle = median(toIdle), barePercent = median(bare);
    std::printf("\nReturn to the count label for %%: %.2f ms, bare %.2f ms: %.2fx; until the list has it all: %.2f ms"
                " (%.2fx; label %s)\n",
                label, barePercent, label / barePercent, idle, idle / barePercent, qPrintable(w->StaticText3()->Text()));
    std::printf("peak memory of a fresh process after %%: %.1f MB (%.1f MB at rest)\n", first.back().peak,
                first.back().rest);
    std::printf("load average after: %s\n", qPrintable(loadAverage()));
    sqlite3_close(db);
    CloseAllWindows();
    return 0;
}
