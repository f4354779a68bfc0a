// Drawing files on disk and the OPEN, SAVEAS and QSAVE commands.
#include "corpus.h"
#include "db/dxf/dxffile.h"
#include "host_fixture.h"

#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "arx/dbsymtb.h"
#include "arx/docman.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

using namespace cadhost::db::dxf;
namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::size_t FilesIn(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++n;
    return n;
}

const std::string kCorpus = (rivlet_test::CorpusDir() / "dxf").string() + "/";

class DxfFiles : public HostSessionTest {};

// An empty drawing saved as plan.dxf in a new folder: answers the file's path.
std::string SavedPlan(AcDbDatabase& db, const std::string& folder) {
    fs::create_directories(folder);
    std::string target = folder + "/plan.dxf";
    std::string error;
    EXPECT_EQ(WriteDxfFile(&db, target, error), Acad::eOk) << error;
    return target;
}

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace

TEST_F(DxfFiles, AFailedSaveLeavesTheOldFileWholeAndNoTemporaryBehind) {
    std::string folder = root() + "/drawings";
    AcDbDatabase db;
    std::string target = SavedPlan(db, folder);
    std::string before = Slurp(target);
    ASSERT_GT(before.size(), 1000u);
    std::string error;

    // The disk "fills up" after 100 bytes: the write fails part way.
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = old;
    tight.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    Acad::ErrorStatus es = WriteDxfFile(&db, target, error);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_NE(es, Acad::eOk);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Slurp(target), before);
    EXPECT_EQ(FilesIn(folder), 1u) << "the half-written file is removed";

    EXPECT_NE(WriteDxfFile(&db, root() + "/missing/plan.dxf", error), Acad::eOk);
    AcDbDatabase* read = nullptr;
    EXPECT_NE(ReadDxfFile(root() + "/missing.dxf", read, error), Acad::eOk);
    EXPECT_EQ(read, nullptr);
}

TEST_F(DxfFiles, ADrawingOfManyMegabytesIsReadWhole) {
    // Some megabytes of text, read in many pieces: what is read saves as the file it came from.
    AcDbDatabase db;
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(db.getBlockTable(table, AcDb::kForRead), Acad::eOk);
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForWrite), Acad::eOk);
    table->close();
    const int count = 3000;
    for (int i = 0; i < count; ++i) {
        auto* text = new AcDbMText;
        std::string contents = "text " + std::to_string(i) + " ";
        while (contents.size() < 900)
            contents += "\\Pa line of a specification " + std::to_string(i) + ";";
        text->setContents(contents.c_str());
        text->setLocation(AcGePoint3d(i, -i, 0));
        ASSERT_EQ(space->appendAcDbEntity(text), Acad::eOk);
        text->close();
    }
    space->close();
    std::string file = SavedPlan(db, root() + "/big");
    const std::string saved = Slurp(file);
    ASSERT_GT(saved.size(), 3u << 20);

    std::string error;
    AcDbDatabase* read = nullptr;
    ASSERT_EQ(ReadDxfFile(file, read, error), Acad::eOk) << error;
    std::unique_ptr<AcDbDatabase> owned(read);
    std::string again;
    ASSERT_EQ(WriteDxfText(read, again, error), Acad::eOk) << error;
    EXPECT_EQ(again.size(), saved.size());
    EXPECT_TRUE(again == saved);
    EXPECT_NE(again.find("text " + std::to_string(count - 1) + " "), std::string::npos);

    // Through a pipe, which tells no size: the room grows as the text comes.
    const std::string pipe = root() + "/big.pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::signal(SIGPIPE, SIG_IGN); // a reading that stops early fails the writer's write
    std::thread writer([&] { std::ofstream(pipe, std::ios::binary) << saved; });
    AcDbDatabase* piped = nullptr;
    Acad::ErrorStatus es = ReadDxfFile(pipe, piped, error);
    // What the reading left is drained (nothing, when it read it all), so that the writer
    // ends however the reading went.
    if (int rest = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK); rest >= 0) {
        char drained[4096];
        for (ssize_t n; (n = ::read(rest, drained, sizeof drained)) != 0;)
            if (n < 0 && errno != EAGAIN)
                break;
        ::close(rest);
    }
    writer.join();
    ASSERT_EQ(es, Acad::eOk) << error;
    std::unique_ptr<AcDbDatabase> ownedPiped(piped);
    std::string fromPipe;
    ASSERT_EQ(WriteDxfText(piped, fromPipe, error), Acad::eOk) << error;
    EXPECT_TRUE(fromPipe == saved);
}

TEST_F(DxfFiles, OpenSaveAsAndQSaveKeepTheVersionAndFileName) {
    SKIP_WITHOUT_CORPUS("dxf");
    std::string copy = root() + "/copy.dxf";
    std::string log = run("OPEN\n" + kCorpus + "text_alignments.dxf\nSAVEAS\n" + copy + "\n");
    EXPECT_EQ(log.find("Cannot"), std::string::npos) << log;
    EXPECT_NE(log.find("Enter name of drawing to open: "), std::string::npos);
    AcApDocument* doc = acDocManager->curDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(DrawingVersion(doc->database()), "AC1018");
    EXPECT_NE(std::string(doc->fileName()).find("copy.dxf"), std::string::npos);
    std::string saved = Slurp(copy);
    EXPECT_NE(saved.find("$ACADVER\n  1\nAC1018\n"), std::string::npos);

    fs::remove(copy);
    log = run("QSAVE\n");
    EXPECT_EQ(log.find("Enter file name"), std::string::npos) << "the drawing has its file";
    EXPECT_EQ(Slurp(copy), saved);

    // A new drawing has no file: QSAVE asks, and a name without extension gets ".dxf".
    log = run("NEW\nQSAVE\n" + root() + "/fresh\n");
    EXPECT_NE(log.find("Enter file name: "), std::string::npos) << log;
    EXPECT_NE(Slurp(root() + "/fresh.dxf").find("AC1018"), std::string::npos);
}

TEST_F(DxfFiles, FailuresAreOneLineAndChangeNothing) {
    int documents = acDocManager->documentCount();
    AcApDocument* current = acDocManager->curDocument();
    std::string bad = root() + "/bad.dxf";
    std::ofstream(bad) << "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1018\n  0\nENDSEC\n";
    std::string log = run("OPEN\n" + bad + "\n");
    EXPECT_NE(log.find("Cannot open " + bad + ": line 11: the file ends without EOF"),
              std::string::npos)
        << log;
    EXPECT_EQ(acDocManager->documentCount(), documents);
    EXPECT_EQ(acDocManager->curDocument(), current);
    log = run("SAVEAS\n" + root() + "/no/such/folder/x.dxf\n");
    EXPECT_NE(log.find("Cannot save " + root() + "/no/such/folder/x.dxf: "), std::string::npos)
        << log;
}

TEST_F(DxfFiles, TakingBackASaveKeepsTheTablesTheFirstSaveMade) {
    std::string path = root() + "/undone.dxf";
    run("SAVEAS\n" + path + "\n");
    std::string first = Slurp(path);
    ASSERT_NE(first.find("\nContinuous\n"), std::string::npos);
    run("UNDO\n1\nQSAVE\n");
    EXPECT_EQ(Slurp(path), first) << "the linetype and viewport tables are still there";
}

TEST_F(DxfFiles, ANewDrawingsExtentsTakeInItsTextsBoxes) {
    std::string file = root() + "/texts.dxf";
    run("MTEXT\n2,0\n6,-1\none\\Ptwo\\Pthree\nLINE\n0,0\n1,1\n\nSAVEAS\n" + file + "\n");
    // The header's $EXTMIN and $EXTMAX: x, y and z after each name.
    std::istringstream lines(Slurp(file));
    std::map<std::string, std::vector<double>> header;
    std::string line, name;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == "$EXTMIN" || line == "$EXTMAX")
            name = line;
        else if (!name.empty() && (line == " 10" || line == " 20" || line == " 30")) {
            std::getline(lines, line);
            header[name].push_back(std::stod(line));
            if (header[name].size() == 3)
                name.clear();
        }
    }
    ASSERT_EQ(header["$EXTMIN"].size(), 3u);
    ASSERT_EQ(header["$EXTMAX"].size(), 3u);
    // The three lines hang below the text's location (2,0), the box is the text's width (4)
    // wide, and the line from the origin is in too.
    EXPECT_DOUBLE_EQ(header["$EXTMIN"][0], 0.0);
    EXPECT_LT(header["$EXTMIN"][1], -0.4);
    EXPECT_DOUBLE_EQ(header["$EXTMAX"][0], 6.0);
    EXPECT_DOUBLE_EQ(header["$EXTMAX"][1], 1.0);
}

namespace {

// Saves the drawing in a child process that the file size limit kills part way through the
// write, as a save killed in the middle; answers the new files it left in the folder.
std::set<std::string> KilledSave(AcDbDatabase& db, const std::string& target) {
    std::string folder = fs::path(target).parent_path().string();
    std::set<std::string> before = Names(folder);
    pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        struct rlimit tight {};
        ::getrlimit(RLIMIT_FSIZE, &tight);
        tight.rlim_cur = 100;
        ::setrlimit(RLIMIT_FSIZE, &tight);
        std::string error;
        WriteDxfFile(&db, target, error);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
    std::set<std::string> left;
    for (const std::string& name : Names(folder))
        if (!before.count(name))
            left.insert(name);
    return left;
}

} // namespace

TEST_F(DxfFiles, TheNextSaveRemovesWhatKilledSavesOfTheSameFileLeftUnlessASaveHoldsIt) {
    std::string folder = root() + "/killed";
    AcDbDatabase db;
    std::string target = SavedPlan(db, folder);
    std::string before = Slurp(target);
    std::string error;

    std::set<std::string> killed = KilledSave(db, target);
    ASSERT_EQ(killed.size(), 1u) << "the killed save left its temporary";
    EXPECT_TRUE(Slurp(target) == before) << "the drawing is whole";
    // A second killed save, whose temporary a running save holds locked.
    std::set<std::string> held = KilledSave(db, target);
    ASSERT_EQ(held.size(), 1u);
    int lock = ::open((folder + "/" + *held.begin()).c_str(), O_RDONLY);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    // What other drawings' saves and other programs left.
    std::set<std::string> foreign = KilledSave(db, folder + "/plan2.dxf");
    foreign.insert(".plan.dxf.Ab12Cd");
    std::ofstream(folder + "/.plan.dxf.Ab12Cd") << "another program's";

    ASSERT_EQ(WriteDxfFile(&db, target, error), Acad::eOk) << error;
    ::close(lock);
    std::set<std::string> want = foreign;
    want.insert("plan.dxf");
    want.insert(*held.begin());
    EXPECT_EQ(Names(folder), want);
    EXPECT_TRUE(Slurp(target) == before);
}

TEST_F(DxfFiles, ASaveThroughSymbolicLinksReplacesTheFileBehindThemKeepingModeAndOwner) {
    std::string real = root() + "/real", links = root() + "/links";
    fs::create_directories(real);
    fs::create_directories(links);
    AcDbDatabase db;
    std::string error;
    ASSERT_EQ(WriteDxfFile(&db, real + "/plan.dxf", error), Acad::eOk) << error;
    std::string before = Slurp(real + "/plan.dxf");
    ASSERT_EQ(::chmod((real + "/plan.dxf").c_str(), 0640), 0);
    const bool mayGiveAway = ::geteuid() == 0;
    if (mayGiveAway) {
        ASSERT_EQ(::chown((real + "/plan.dxf").c_str(), 4321, 4321), 0);
    }
    // A relative link, and a link to that link.
    fs::create_symlink("../real/plan.dxf", links + "/plan.dxf");
    fs::create_symlink(links + "/plan.dxf", links + "/again.dxf");

    std::string log = run("OPEN\n" + links + "/again.dxf\nLINE\n0,0\n5,5\n\nQSAVE\n");
    EXPECT_EQ(host().failures(), 0) << log;
    EXPECT_TRUE(fs::is_symlink(links + "/again.dxf"));
    EXPECT_TRUE(fs::is_symlink(links + "/plan.dxf"));
    std::string after = Slurp(real + "/plan.dxf");
    EXPECT_TRUE(after != before);
    EXPECT_NE(after.find("\nLINE\n"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat((real + "/plan.dxf").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (mayGiveAway) {
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 4321u);
    }
    EXPECT_EQ(Names(links), (std::set<std::string>{"again.dxf", "plan.dxf"}));
    EXPECT_EQ(Names(real), (std::set<std::string>{"plan.dxf"}));

    // A link to a file not there yet: the file is made behind it.
    fs::create_symlink("../real/later.dxf", links + "/later.dxf");
    ASSERT_EQ(WriteDxfFile(&db, links + "/later.dxf", error), Acad::eOk) << error;
    EXPECT_TRUE(fs::is_symlink(links + "/later.dxf"));
    EXPECT_TRUE(Slurp(real + "/later.dxf") == before);
}
