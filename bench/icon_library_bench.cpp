// Listing and extracting every icon group of a DLL with 200 groups: TIconLibrary (load, then one
// .ico file per group) beside the resource tool wrestool extracting the same groups from the same
// file. Both are timed in process CPU time (wrestool's includes starting the program); the closing
// line gives ours, with plain file writes like wrestool's, over wrestool's (below 1: ours is
// faster). The file comes from testdata/iconlib/make_fixtures.py.
#include "framework/streams.h"
#include "framework/string_list.h"
#include "imaging/icons/icon_library.h"
#include "imaging/icons/multi_icon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// BRELNOVA_TESTDATA, else the testdata folder found upwards from the program or the current
// folder (the build folder sits inside the source tree).
QString FixturePath()
{
    const QString relative = QStringLiteral("iconlib/many_groups.dll");
    const QByteArray root = qgetenv("BRELNOVA_TESTDATA");
    if (!root.isEmpty())
        return QDir(QString::fromLocal8Bit(root)).filePath(relative);
    for (QString start : {QCoreApplication::applicationDirPath(), QDir::currentPath()}) {
        for (QDir dir(start);; ) {
            const QString candidate = dir.filePath(QStringLiteral("testdata/") + relative);
            if (QFileInfo::exists(candidate))
                return candidate;
            if (!dir.cdUp())
                break;
        }
    }
    return relative;
}

double ProcessSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Loads the library and writes one .ico file per group: with plain writes as wrestool makes
// them, or through SaveToFile, whose atomic replacement flushes every file to the disk.
void Extract(benchmark::State& state, bool atomic)
{
    const QString file = FixturePath();
    QTemporaryDir out;
    for (auto _ : state) {
        const double start = ProcessSeconds();
        TIconLibrary library;
        library.LoadFromFile(file);
        TStringList* icons = library.Icons();
        for (int i = 0; i < icons->Count(); ++i) {
            auto* icon = static_cast<TMultiIcon*>(icons->Objects(i));
            const QString name = out.filePath(icons->Strings(i) + QStringLiteral(".ico"));
            if (atomic) {
                icon->SaveToFile(name);
                continue;
            }
            TMemoryStream bytes;
            icon->SaveToStream(&bytes);
            QFile f(name);
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes.Memory(), bytes.Size()) != bytes.Size())
                state.SkipWithError("cannot write the icon files");
        }
        state.SetIterationTime(ProcessSeconds() - start);
        if (icons->Count() != 200)
            state.SkipWithError("the library did not list 200 groups");
    }
}

void BM_IconLibraryExtract(benchmark::State& state)
{
    Extract(state, false);
}
BENCHMARK(BM_IconLibraryExtract)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_IconLibraryExtractAtomic(benchmark::State& state)
{
    Extract(state, true);
}
BENCHMARK(BM_IconLibraryExtractAtomic)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_WrestoolExtract(benchmark::State& state)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("wrestool"));
    if (tool.isEmpty()) {
        state.SkipWithError("wrestool is not installed");
        return;
    }
    QTemporaryDir out;
    const std::string program = tool.toStdString(), folder = out.path().toStdString(), file = FixturePath().toStdString();
    std::string a0 = "wrestool", a1 = "-x", a2 = "-t14", a3 = "-o";
    char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), const_cast<char*>(folder.c_str()),
                    const_cast<char*>(file.c_str()), nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("wrestool did not start");
            return;
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("wrestool failed");
            return;
        }
        state.SetIterationTime(double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                               double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6);
    }
}
BENCHMARK(BM_WrestoolExtract)->UseManualTime()->Unit(benchmark::kMillisecond);

// Prints the runs as usual and, at the end, our CPU time over wrestool's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Iteration)
                perIteration_[r.run_name.function_name] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        auto ours = perIteration_.find("BM_IconLibraryExtract");
        auto tool = perIteration_.find("BM_WrestoolExtract");
        if (ours != perIteration_.end() && tool != perIteration_.end() && tool->second > 0)
            std::printf("TIconLibrary / wrestool CPU time ratio: %.3f\n", ours->second / tool->second);
    }

private:
    std::map<std::string, double> perIteration_;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
