// Cost of the GBK edges the module crosses many times a search: reading a small configuration
// file (every profile value read decodes its file), and cutting a Chinese text to a byte count
// (list cells, padded export columns). Each beside a raw baseline in the same run: the same
// conversion through one codec opened once. Target: at most 2x the baseline.
//   bench_gbktext            (200,000 calls a figure)
//   bench_gbktext --smoke    2,000 calls, target not checked (the test suite's run)
#include "GbkText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

constexpr int kRepeats = 3;
constexpr double kTargetRatio = 2.0;

// The best of kRepeats runs of `calls` calls, in microseconds a call.
double bestMicrosPerCall(int calls, const std::function<void()>& call)
{
    double best = 1e300;
    for (int r = 0; r < kRepeats; ++r) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < calls; ++i)
            call();
        best = std::min(best, double(timer.nsecsElapsed()) / 1000.0 / calls);
    }
    return best;
}

// A "search.ini" of ten remembered patterns, as the data-view page writes it.
QByteArray savedPatternsFile()
{
    QString text = QStringLiteral("[查询名称]\r\n");
    for (int i = 0; i < 10; ++i)
        text += QStringLiteral("*减速器箱体%1*\r\n").arg(i);
    text += QStringLiteral("[名称结束]\r\n");
    return zq::EncodeGbk(text);
}

struct Row {
    const char* name;
    double ours;
    double raw;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool smoke = argc > 1 && std::strcmp(argv[1], "--smoke") == 0;
    const int calls = smoke ? 2000 : 200000;

    const QByteArray file = savedPatternsFile();
    const QString cell = QStringLiteral("ZQ8600型减速器箱体铸造毛坯技术条件及检验规范说明书第二版修订稿");
    QStringDecoder decoder("GB18030");
    QStringEncoder encoder("GB18030");
    qsizetype sink = 0;

    const Row rows[] = {
        {"decode a 190-byte GBK file",
         bestMicrosPerCall(calls, [&] { sink += zq::DecodeFileText(file).size(); }),
         bestMicrosPerCall(calls, [&] { sink += QString(decoder.decode(file)).size(); })},
        {"cut a 40-character text to 30 bytes",
         bestMicrosPerCall(calls, [&] { sink += zq::TruncateGbk(cell, 30).size(); }),
         bestMicrosPerCall(calls, [&] { sink += QByteArray(encoder.encode(cell)).left(30).size(); })},
    };

    std::printf("GBK text, %d calls a figure, best of %d          ours us   raw us   ratio\n", calls, kRepeats);
    bool met = true;
    for (const Row& row : rows) {
        const double ratio = row.ours / row.raw;
        met = met && ratio <= kTargetRatio;
        std::printf("  %-40s %8.3f %8.3f %7.2f\n", row.name, row.ours, row.raw, ratio);
    }
    std::printf("  target: every ratio at most %.1f            %s\n", kTargetRatio,
                smoke ? "not checked (smoke run)" : met ? "met" : "NOT MET");
    return sink < 0 || (!smoke && !met) ? 1 : 0;
}
