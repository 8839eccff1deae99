// The notes with 10,000 of them, spread over the whole collection: loading the file
// (reading it, parsing it, checking every note against its article) and listing
// them by article, against QJsonDocument parsing the same notes as JSON into the
// same records; and what a change costs the window's thread (a copy of the list
// handed to the writer), against what it leaves to the writer (formatting, write
// and fsync) and against QJsonDocument writing the same notes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <string>
#include <vector>

#include "AgainstQtEdit.h"
#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/Utf16.h"
#include "reader/Notes.h"
#include "reader/NotesAnchor.h"
#include "reader/NotesFile.h"
#include "shell/AppState.h"

namespace {

constexpr int kNotes = 10000;

// Notes on passages of every article in turn, each quoting its passage as the
// reader would, every third with a note of a few lines.
std::vector<Note> ManyNotes() {
    std::vector<Note> notes;
    for (int number = 1; (int)notes.size() < kNotes; number = number % kArticleCount + 1) {
        BYTE* article = LoadContent(number, nullptr);
        ArticleWalker walker = StartArticleWalk(article);
        ArticleRecord record;
        for (int i = 0; NextArticleRecord(&walker, &record) && (int)notes.size() < kNotes; i++) {
            if (record.textLength < 40 || i % 3) continue;
            Note n{};
            n.article = (uint16_t)number;
            n.start = (uint16_t)(record.text - article + 5);
            n.end = (uint16_t)(n.start + 30);
            n.quote = QuoteOfPassage(article, n.start, n.end);
            n.text = notes.size() % 3 ? u"" : u"A note on this passage,\nwith a second line \u05E9\u05DC\u05D5\u05DD.";
            n.created = n.modified = 1796845932 + (int64_t)notes.size();
            notes.push_back(n);
        }
        free(article);
    }
    return notes;
}

QByteArray AsJson(const std::vector<Note>& notes) {
    QJsonArray array;
    for (const Note& n : notes) {
        array.append(QJsonObject{{"article", n.article}, {"record", n.record}, {"start", n.start}, {"end", n.end},
                                 {"colour", n.colour}, {"created", (qint64)n.created},
                                 {"modified", (qint64)n.modified}, {"quote", QString::fromStdU16String(n.quote)},
                                 {"note", QString::fromStdU16String(n.text)}});
    }
    return QJsonDocument(array).toJson();
}

std::vector<Note> FromJson(const QByteArray& json) {
    std::vector<Note> notes;
    for (const QJsonValue& v : QJsonDocument::fromJson(json).array()) {
        QJsonObject o = v.toObject();
        Note n{};
        n.article = (uint16_t)o["article"].toInt();
        n.record = (uint16_t)o["record"].toInt();
        n.start = (uint16_t)o["start"].toInt();
        n.end = (uint16_t)o["end"].toInt();
        n.colour = (HighlightColour)o["colour"].toInt();
        n.created = o["created"].toInteger();
        n.modified = o["modified"].toInteger();
        n.quote = o["quote"].toString().toStdU16String();
        n.text = o["note"].toString().toStdU16String();
        notes.push_back(std::move(n));
    }
    return notes;
}

// What a list of them by article shows: a heading for each article, each note's
// first line under it.
size_t ListByArticle() {
    size_t shown = 0;
    int article = 0;
    for (const Note& note : AllNotes()) {
        shown += note.article != article;
        article = note.article;
        shown += note.text.substr(0, note.text.find(u'\n')).size() + 1;
    }
    return shown;
}

std::string TempFolder() {
    char pattern[] = "/tmp/velun-notes-bench-XXXXXX";
    return mkdtemp(pattern) ? pattern : "/tmp";
}

void BM_LoadAndListNotes(benchmark::State& state) {
    ResetAppState();
    std::string folder = TempFolder(), path = folder + "/notes.txt";
    WriteNotesFile(path, FormatNotes(ManyNotes()));
    std::string text, why;
    ReadNotesFile(path, &text, &why);
    QByteArray json = AsJson(ManyNotes());
    std::vector<double> ours, qt;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        std::vector<Note> notes;
        bool read = ReadNotesFile(path, &text, &why) == 0 && ParseNotes(text, &notes, &why);
        AnchorNotes(&notes);
        ReplaceNotes(std::move(notes));
        benchmark::DoNotOptimize(ListByArticle());
        double ourTime = SecondsSince(start);
        if (!read || AllNotes().size() != kNotes || AllNotes()[kNotes / 2].detached) {
            state.SkipWithError("the notes did not load whole");
            return;
        }
        start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(FromJson(json).size());
        qt.push_back(SecondsSince(start));
        ours.push_back(ourTime);
        state.SetIterationTime(ourTime);
    }
    double ourMs = MedianOf(ours) * 1000, qtMs = MedianOf(qt) * 1000;
    ReportGoal({"load (read, parse, check against the articles) and list 10,000 notes",
                Fixed(ourMs, 2) + " ms median", "QJsonDocument parsing the same notes: " + Fixed(qtMs, 2) + " ms",
                ourMs / qtMs, "<= 50 ms", ourMs <= 50});
    std::system(("rm -rf " + folder).c_str());
}
BENCHMARK(BM_LoadAndListNotes)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_SaveAfterAChange(benchmark::State& state) {
    ResetAppState();
    ReplaceNotes(ManyNotes());
    std::string folder = TempFolder(), path = folder + "/notes.txt";
    std::vector<double> handOver, write, qt;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        std::vector<Note> copy = AllNotes();
        double ourTime = SecondsSince(start);
        start = std::chrono::steady_clock::now();
        WriteNotesFile(path, FormatNotes(copy));
        write.push_back(SecondsSince(start));
        start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(AsJson(AllNotes()).size());
        qt.push_back(SecondsSince(start));
        handOver.push_back(ourTime);
        state.SetIterationTime(ourTime);
    }
    double ourMs = MedianOf(handOver) * 1000, writeMs = MedianOf(write) * 1000, qtMs = MedianOf(qt) * 1000;
    ReportGoal({"a change with 10,000 notes: the window thread's part of the save (copying the list)",
                Fixed(ourMs, 2) + " ms median",
                "QJsonDocument writing the same: " + Fixed(qtMs, 2) + " ms; the writer thread's format, write and "
                "fsync: " + Fixed(writeMs, 2) + " ms",
                ourMs / qtMs, "<= 5 ms", ourMs <= 5});
    std::system(("rm -rf " + folder).c_str());
}
BENCHMARK(BM_SaveAfterAChange)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
