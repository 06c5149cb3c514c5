// How long the program's pattern search takes against the bare query it runs.
//
//   search_bench [word database]   (default: the build's Lexivane/LexivaneDB)
//
// For each pattern: (a) the raw query, stepped through the SQLite C API reading every
// column of every record; (b) the real main window's search (offscreen unless a display
// platform is set), from the call of its search until the last row is in the list. Several runs
// each; prints the rows, both medians in milliseconds and their ratio, and the median time
// until the window has also shown the result (the event loop run once after the search).
#include "app/startup.h"
#include "platform/folder_item.h"
#include "platform/runtime.h"
#include "search/window1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kRuns = 15;

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
    return v[v.size() / 2];
}

// The query as the program builds it, run bare; returns the number of records.
long rawQuery(sqlite3* db, const QString& text, double* ms)
{
    QString pattern = text;
    pattern.replace("-", "_").replace("'", "''");
    const QByteArray sql = ("SELECT * from thewords where word like '" + pattern + "'").toUtf8();
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "query failed: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
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
    *ms = double(timer.nsecsElapsed()) / 1e6;
    if (checksum == 42) std::fputc(' ', stderr);  // keeps the reads from being optimised away
    return records;
}

// Presses the default button of every message box that opens (the start message).
void answerMessageBoxes()
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "message: %s\n", qPrintable(box->text()));
            box->accept();
        }
    });
    timer->start();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : defaultDatabase(argv[0]);
    if (!QFileInfo(path).isFile()) {
        std::fprintf(stderr, "no word database at %s (build lexivane_word_database or name one)\n", qPrintable(path));
        return 1;
    }
    std::printf("word database: %s\n", qPrintable(path));

    RuntimeInit(argc, argv);
    // The program finds its database beside its package: stand it beside this one.
    SetExecutablePathForTesting(QFileInfo(path).absolutePath() + "/lexivane/bin/lexivane");
    answerMessageBoxes();
    RunFrameworkInitialization(Startup);
    Window1* w = Window1::Instance();
    if (!w || QuitRequested()) {
        std::fprintf(stderr, "the main window did not open the database\n");
        return 1;
    }
    QApplication::processEvents();

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }

    const QStringList patterns = {"c-t", "ca-", "-----", "--------------", "a--", "%"};
    std::printf("%-16s %8s %8s %10s %12s %8s %10s\n", "pattern", "records", "rows", "raw ms", "program ms", "ratio",
                "shown ms");
    for (const QString& pattern : patterns) {
        std::vector<double> raw, program, shown;
        long records = 0;
        int rows = 0;
        for (int run = 0; run <= kRuns; ++run) {  // run 0 warms the caches and is not counted
            double ms = 0;
            records = rawQuery(db, pattern, &ms);
            if (run > 0) raw.push_back(ms);

            w->Listbox1()->DeleteAllRows();
            QApplication::processEvents();
            w->EFfindword()->SetText(pattern);
            QElapsedTimer timer;
            timer.start();
            w->getwords();
            const double programMs = double(timer.nsecsElapsed()) / 1e6;
            rows = w->Listbox1()->ListCount();
            // Back in the event loop the view hears of the last rows, lays them out and paints.
            QApplication::processEvents();
            const double shownMs = double(timer.nsecsElapsed()) / 1e6;
            if (run > 0) {
                program.push_back(programMs);
                shown.push_back(shownMs);
            }
        }
        const double r = median(raw), p = median(program), s = median(shown);
        std::printf("%-16s %8ld %8d %10.2f %12.2f %7.2fx %10.2f\n", qPrintable(pattern), records, rows, r, p, p / r, s);
        std::fflush(stdout);
    }
    sqlite3_close(db);
    CloseAllWindows();
    return 0;
}
