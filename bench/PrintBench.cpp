// The whole handbook to PDF: the reader's pages against QTextDocument printing the
// same plain text to a QPdfWriter, and against LibreOffice converting the RTF
// export of all articles (its start-up taken out); and the peak memory of the
// export against the reader's own headless run.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QBuffer>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>
#include <filesystem>
#include <string>

#include "Goals.h"
#include "content/Content.h"
#include "platform/qt/QtApp.h"
#include "reader/Print.h"
#include "shell/AppState.h"
#include "shell/Export.h"

namespace {

double Seconds() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

// Every article as the plain-text export renders it, and the RTF that Append
// makes of them all.
void HandbookTexts(QString* plain, std::string* rtf) {
    ResetAppState();
    gApp.Flags = kDefaultFlags;
    gApp.fontSettings.FontAsciiBase = 1488;
    for (int number = 1; number <= kArticleCount; number++) {
        BYTE* article = LoadContent(number, nullptr);
        if (!article) continue;
        ArticleRange range = WholeArticle(article);
        WCHAR* text = RenderExportText(range);
        if (text) {
            plain->append(QString::fromUtf16(text));
            HLOCAL block = BuildRtfBlock(range, text, (const BYTE*)rtf->data(), rtf->size());
            if (block) *rtf = (const char*)block;
            LocalFree(block);
        }
        free(text);
        free(article);
    }
}

// A child's wall time and peak memory.
struct ChildRun {
    double seconds = 0;
    long peakKb = 0;
    bool ok = false;
};

ChildRun RunChild(const std::string& command) {
    double start = Seconds();
    pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), (char*)nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return {Seconds() - start, usage.ru_maxrss, WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

void BM_HandbookToPdf(benchmark::State& state) {
    EnsureQtApplication();
    QString plain;
    std::string rtf;
    HandbookTexts(&plain, &rtf);
    std::string out = std::filesystem::temp_directory_path() / "velun-bench-handbook.pdf";
    PrintRequest request;
    request.scope = PrintScope::Handbook;
    double ours = 0, qt = 0;
    for (auto _ : state) {
        double start = Seconds();
        std::string message;
        WritePrintPdf(out.c_str(), request, &message);
        double middle = Seconds();
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        QTextDocument document;
        document.setPlainText(plain);
        document.print(&writer);
        double end = Seconds();
        ours += middle - start;
        qt += end - middle;
        state.SetIterationTime(middle - start);
    }
    double n = (double)state.iterations();
    ReportGoal({"whole handbook to PDF", Fixed(ours / n * 1000, 0) + " ms",
                "QTextDocument to QPdfWriter: " + Fixed(qt / n * 1000, 0) + " ms", ours / qt, "< 0.5x",
                ours / qt < 0.5});

    // Peak memory of the export against the reader's plain-text export, each alone.
    std::string velun = VELUN_EXE;
    ChildRun pdf = RunChild(velun + " --export all --format pdf --out " + out + " 2>/dev/null");
    ChildRun text = RunChild(velun + " --export 1 --out " + out + ".txt 2>/dev/null");
    double extraMb = (pdf.peakKb - text.peakKb) / 1024.0;
    ReportGoal({"whole handbook to PDF, peak memory", Fixed(pdf.peakKb / 1024.0, 1) + " MB",
                "reader's headless export: " + Fixed(text.peakKb / 1024.0, 1) + " MB", extraMb, "< 50 MB above",
                pdf.ok && extraMb < 50});

    // LibreOffice: the RTF of all articles converted, less a one-line document's
    // conversion (its start-up), in a profile of its own.
    if (system("command -v soffice >/dev/null 2>&1") != 0) return;
    std::string folder = std::filesystem::temp_directory_path() / "velun-bench-soffice";
    std::filesystem::create_directories(folder);
    FILE* file = fopen((folder + "/all.rtf").c_str(), "wb");
    if (!file) return;
    fwrite(rtf.data(), 1, rtf.size(), file);
    fclose(file);
    file = fopen((folder + "/one.rtf").c_str(), "wb");
    if (!file) return;
    fputs("{\\rtf1 x}", file);
    fclose(file);
    std::string soffice = "timeout 600 soffice -env:UserInstallation=file://" + folder +
                          "/profile --headless --convert-to pdf --outdir " + folder + " ";
    RunChild(soffice + folder + "/one.rtf >/dev/null 2>&1");  // the profile is made once
    ChildRun one = RunChild(soffice + folder + "/one.rtf >/dev/null 2>&1");
    ChildRun all = RunChild(soffice + folder + "/all.rtf >/dev/null 2>&1");
    double libre = all.seconds - one.seconds;
    if (all.ok && one.ok && libre > 0)
        ReportGoal({"whole handbook to PDF, against LibreOffice", Fixed(ours / n * 1000, 0) + " ms",
                    "LibreOffice RTF to PDF, start-up taken out: " + Fixed(libre * 1000, 0) + " ms",
                    ours / n / libre, "(reported)", true});
}
BENCHMARK(BM_HandbookToPdf)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
