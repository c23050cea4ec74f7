// tessarel-cli and the window's command line as users run them: usage errors,
// one round trip per output format, output that cannot be written, and the
// simulation steps that animate shares with the window.
#include "app/mainwindow.h"
#include "app/portrait.h"
#include "app/simulation.h"
#include "app/surfaceoptions.h"
#include "cli/progress.h"
#include "qtplot/plotwidget.h"

#include <CLI/CLI.hpp>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <webp/demux.h>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <pty.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Result {
    int status = -1;
    QByteArray out;
    QString err;
};

// Runs program with args; "@" in an argument stands for dir. fileLimit, when
// set, caps the size of any file the program writes, as a full disk would.
Result RunProgram(const char* program, QStringList args, const QString& dir = {},
                  const QString& stdoutFile = {}, const QByteArray& input = {},
                  rlim_t fileLimit = 0) {
    for (QString& a : args) a.replace('@', dir);
    QProcess process;
    if (!stdoutFile.isEmpty()) process.setStandardOutputFile(stdoutFile);
    if (fileLimit) {
        process.setChildProcessModifier([fileLimit] {
            const rlimit limit{fileLimit, fileLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead
        });
    }
    process.start(QString::fromLatin1(program), args);
    process.write(input);
    process.closeWriteChannel();
    Result r;
    if (!process.waitForFinished(60000)) return r;
    r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = process.readAllStandardOutput();
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

Result Cli(const QStringList& args, const QString& dir = {}) {
    return RunProgram(TESSAREL_CLI, args, dir);
}

// Mean difference of two pictures of one size, 0 (equal) to 1, over all
// channels.
double Difference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size()) return 1;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * 255 * x.width() * x.height());
}

// A scaled rendering differs from the window's pixels only at edges.
constexpr double SamePicture = 0.03;
const char* const StartFormula = "SIN(Z+Q)*Z/10";

QImage Rendered(const QTemporaryDir& dir, const QStringList& options, const char* name) {
    const QString file = dir.filePath(name);
    const Result r = Cli(QStringList{"render", "-o", file} + options + QStringList{StartFormula});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    return QImage(file);
}

} // namespace

TEST(CommandLine, BadArgumentsAreUsageErrorsNamingTheOption) {
    struct Row {
        const char* name;
        const char* program;
        QStringList args;
        const char* named; // in the message
        QByteArray input = {};
    };
    const char* cli = TESSAREL_CLI;
    const char* window = TESSAREL_WINDOW;
    const Row rows[] = {
        {"points 0", cli, {"grid", "--points", "0", "Z"}, "--points"},
        {"points 100000", cli, {"grid", "--points", "100000", "Z"}, "--points"},
        {"points not whole", cli, {"grid", "--points=2.5", "Z"}, "--points"},
        {"q infinite", cli, {"grid", "--q", "inf", "Z"}, "--q"},
        {"q beyond double", cli, {"grid", "--q", "1e400", "Z"}, "--q"},
        {"interval not a formula", cli, {"grid", "--x", "abc,def", "Z"}, "--x"},
        {"interval without comma", cli, {"grid", "--y", "4", "Z"}, "--y"},
        {"mode 5", cli, {"grid", "--mode", "5", "Z"}, "--mode"},
        {"format unknown", cli, {"grid", "--format", "xml", "Z"}, "--format"},
        {"unknown option", cli, {"grid", "--w", "1", "Z"}, "--w"},
        {"missing formula", cli, {"grid", "--q", "1"}, "FORMULA"},
        {"two formulas", cli, {"eval", "Z", "Z"}, "FORMULA"},
        {"batch line with too few fields", cli, {"eval", "--batch"}, "line 1", "Z\t1\n"},
        {"pair without comma", cli, {"eval", "--z", "1", "Z"}, "--z"},
        {"width 1e9", cli, {"render", "--width", "1e9", "-o", "@/x.png", "Z"}, "--width"},
        {"size 0", cli, {"render", "--size", "0", "-o", "@/x.png", "Z"}, "--size"},
        {"mesh 2", cli, {"render", "--mesh", "2", "-o", "@/x.png", "Z"}, "--mesh"},
        {"colour unknown", cli, {"render", "--colour", "hue", "-o", "@/x.png", "Z"}, "--colour"},
        {"wheel unknown", cli, {"render", "--wheel", "HSV", "-o", "@/x.png", "Z"}, "--wheel"},
        {"legend 2", cli, {"render", "--legend", "2", "-o", "@/x.png", "Z"}, "--legend"},
        {"picture ending unknown", cli, {"render", "-o", "@/x.jpg", "Z"}, "x.jpg"},
        {"render without output", cli, {"render", "Z"}, "--output"},
        {"frames -1",
         cli,
         {"animate", "--sweep", "q", "--frames", "-1", "-o", "@/x.webp", "Z"},
         "--frames"},
        {"step for a rotation",
         cli,
         {"animate", "--sweep", "x", "--step", "0.1", "-o", "@/x.webp", "Z"},
         "--step"},
        {"step too large",
         cli,
         {"animate", "--sweep", "q", "--step", "1", "-o", "@/x.webp", "Z"},
         "--step"},
        {"animation ending unknown",
         cli,
         {"animate", "--sweep", "q", "-o", "@/x.gif", "Z"},
         "x.gif"},
        {"sweep unknown", cli, {"animate", "--sweep", "y", "-o", "@/x.webp", "Z"}, "--sweep"},
        {"window mode 7", window, {"--mode", "7"}, "--mode"},
        {"window interval", window, {"--z", "1,zz"}, "--z"},
        {"window points below its field's 8", window, {"--points", "7"}, "--points"},
        {"window unknown option", window, {"--width", "100"}, "--width"},
    };
    for (const Row& row : rows) {
        QTemporaryDir dir;
        const Result r = RunProgram(row.program, row.args, dir.path(), {}, row.input);
        EXPECT_EQ(r.status, 2) << row.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(row.named)))
            << row.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << row.name;
        EXPECT_TRUE(QDir(dir.path()).isEmpty()) << row.name << ": a file was written";
    }
}

TEST(CommandLine, HelpAndVersion) {
    for (const QStringList& args : {QStringList{"render", "--help"}, QStringList{"grid", "--help"},
                                    QStringList{"animate", "--help"}}) {
        const Result r = Cli(args);
        EXPECT_EQ(r.status, 0) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.contains("--points")) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.contains("never sampled")) << args.join(' ').toStdString();
    }
    const QByteArray version = QByteArray(" ") + surfaceoptions::Version() + "\n";
    EXPECT_EQ(Cli({"--version"}).out, "tessarel-cli" + version);
    EXPECT_EQ(RunProgram(TESSAREL_WINDOW, {"--version"}).out, "tessarel" + version);
}

TEST(CommandLine, OutputThatDoesNotArriveIsAFailure) {
    // A full disk is a file-size limit on the program: no device is written.
    struct Row {
        const char* name;
        QStringList args;
        bool toStdout; // standard output goes to a file that cannot grow
        QByteArray input;
        rlim_t fileLimit;
    };
    const QString tooLong = QString(300, 'x');
    const Row rows[] = {
        {"grid", {"grid", "Z"}, true, {}, 1},
        {"grid csv", {"grid", "--format", "csv", "Z"}, true, {}, 1},
        {"eval", {"eval", "Z"}, true, {}, 1},
        {"eval batch", {"eval", "--batch"}, true, "Z\t1\t1\n", 1},
        {"evalreal", {"evalreal", "X"}, true, {}, 1},
        {"render on standard output", {"render", "-o", "-", "Z"}, true, {}, 4096},
        {"render in a format named by option onto a full disk",
         {"render", "--format", "png", "-o", "@/x", "Z"},
         false,
         {},
         4096},
        {"render into a missing folder", {"render", "-o", "@/none/x.png", "Z"}, false, {}, 0},
        {"render onto a full disk", {"render", "-o", "@/x.png", StartFormula}, false, {}, 4096},
        {"svg onto a full disk", {"render", "-o", "@/x.svg", "Z"}, false, {}, 4096},
        {"webp onto a full disk",
         {"animate", "--sweep", "q", "--frames", "3", "-o", "@/x.webp", StartFormula},
         false,
         {},
         4096},
        {"frames into a folder that cannot be made",
         {"animate", "--sweep", "z", "--frames", "3", "-o", "@/" + tooLong + "/", "Z"},
         false,
         {},
         0},
    };
    for (const Row& row : rows) {
        QTemporaryDir dir, outDir;
        const Result r =
            RunProgram(TESSAREL_CLI, row.args, dir.path(),
                       row.toStdout ? outDir.filePath("out") : QString(), row.input, row.fileLimit);
        EXPECT_EQ(r.status, 1) << row.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("error: cannot")) << row.name << ": " << r.err.toStdString();
        // Nothing half-written under the target name, no temporary left.
        EXPECT_TRUE(QDir(dir.path()).isEmpty()) << row.name;
    }
}

TEST(CommandLine, AnOutputThatCannotBeWrittenFailsBeforeComputing) {
    // Each of these would compute for seconds before it wrote.
    const QStringList rows[] = {
        {"animate", "--sweep", "z", "--frames", "200", "-o", "@/none/x.webp", StartFormula},
        {"animate", "--sweep", "q", "--frames", "200", "-o", "@/" + QString(300, 'x') + "/",
         StartFormula},
        {"render", "--points", "400", "-o", "@/none/x.png", "RIEMANN(Z)"},
        {"render", "--points", "400", "--format", "png", "-o", "@", "RIEMANN(Z)"},
    };
    for (const QStringList& args : rows) {
        QTemporaryDir dir;
        QElapsedTimer timer;
        timer.start();
        const Result r = RunProgram(TESSAREL_CLI, args, dir.path());
        const std::string name = args.join(' ').toStdString();
        EXPECT_LT(timer.elapsed(), 3000) << name;
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_TRUE(r.err.startsWith("error: cannot")) << name << ": " << r.err.toStdString();
        EXPECT_TRUE(QDir(dir.path()).isEmpty()) << name;
    }
}

TEST(Progress, TheLineSaysHowFarTheJobIs) {
    using std::chrono::seconds;
    const struct {
        int framesDone, frames, pointsDone, pointsPerFrame;
        seconds elapsed;
        const char* line;
    } rows[] = {
        // clang-format off
        {0, 1, 0, 160000, seconds(0), "points 0/160000, 0:00 elapsed"},
        {0, 1, 40000, 160000, seconds(10), "points 40000/160000, 0:10 elapsed, 0:30 left"},
        {3, 200, 0, 1296, seconds(7), "frame 4/200, 0:07 elapsed, 7:39 left"},
        {3, 200, 324, 1296, seconds(10), "frame 4/200, points 324/1296, 0:10 elapsed, 10:05 left"},
        {1, 2, 0, 1296, seconds(4000), "frame 2/2, 1:06:40 elapsed, 1:06:40 left"},
        {2, 2, 0, 1296, seconds(9), "frame 2/2, 0:09 elapsed, 0:00 left"},
        // clang-format on
    };
    for (const auto& r : rows)
        EXPECT_EQ(
            cli::ProgressLine(r.framesDone, r.frames, r.pointsDone, r.pointsPerFrame, r.elapsed),
            r.line);
}

TEST(Progress, ShownOnATerminalOnlyAndClearedAtTheEnd) {
    const QStringList args = {"grid", "--points", "180", "--mode", "3", "RIEMANN(Z)"};
    // Standard error on a terminal, standard output discarded.
    std::vector<QByteArray> bytes = {QByteArray(TESSAREL_CLI)};
    for (const QString& a : args) bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes) argv.push_back(b.data());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    QByteArray shown;
    char buffer[4096];
    for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, n);
    close(terminal);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    // The line comes after half a second; a fast machine may finish before.
    if (timer.elapsed() > 1000) {
        EXPECT_TRUE(shown.contains("\rpoints ")) << shown.toStdString();
        EXPECT_TRUE(shown.contains(" elapsed")) << shown.toStdString();
    }
    // Cleared: blanks over the last line, the cursor back at its start.
    EXPECT_TRUE(shown.isEmpty() || (shown.endsWith('\r') &&
                                    shown.mid(shown.lastIndexOf("\r", -2) + 1).trimmed().isEmpty()))
        << shown.toStdString();

    const Result off = Cli(args); // standard error is a pipe: nothing
    EXPECT_EQ(off.status, 0);
    EXPECT_EQ(off.err, "");
}

TEST(CommandLine, APipeOrDeviceIsWrittenInPlace) {
    // A file that is not a regular one is written into, never replaced by a
    // rename; a FIFO in a temporary folder stands for the devices.
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int in = open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(in, 0);
    QProcess process;
    process.start(QString::fromLatin1(TESSAREL_CLI),
                  {"render", "--format", "png", "-o", fifo, StartFormula});
    QByteArray read;
    for (bool finished = false;;) {
        char buffer[65536];
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n > 0) {
            read.append(buffer, n);
        } else if (finished) {
            break;
        } else {
            finished = process.waitForFinished(10);
        }
    }
    close(in);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_FALSE(QImage::fromData(read, "PNG").isNull());
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              QStringList{"pipe"});
}

TEST(CommandLine, AClosedPipeEndsTheProgramQuietly) {
    // As other filters end: by SIGPIPE, without a message, also when the
    // caller has the signal ignored.
    const QStringList rows[] = {
        {"render", "-o", "-", "Z"}, {"grid", "--format", "csv", "Z"}, {"eval", "Z"}};
    for (const QStringList& args : rows) {
        QTemporaryDir dir;
        const QByteArray errFile = QFile::encodeName(dir.filePath("err"));
        std::vector<QByteArray> bytes = {QByteArray(TESSAREL_CLI)};
        for (const QString& a : args) bytes.push_back(a.toLocal8Bit());
        std::vector<char*> argv;
        for (QByteArray& b : bytes) argv.push_back(b.data());
        argv.push_back(nullptr);
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        close(ends[0]); // nobody reads
        const int err = open(errFile.constData(), O_WRONLY | O_CREAT, 0600);
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGPIPE, SIG_IGN);
            dup2(ends[1], 1);
            dup2(err, 2);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(ends[1]);
        close(err);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const std::string name = args.join(' ').toStdString();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << name << ": " << status;
        QFile errors(dir.filePath("err"));
        ASSERT_TRUE(errors.open(QIODevice::ReadOnly));
        EXPECT_FALSE(errors.readAll().contains("error")) << name;
    }
}

TEST(CommandLine, TextsReachTheInterpretersVerbatim) {
    struct Row {
        const char* name;
        QStringList args;
        QByteArray input;
        QByteArray out;
    };
    const Row rows[] = {
        // clang-format off
        {"floor brackets", {"evalreal", "[-2]"}, {}, "-3 0\n"},
        {"floor brackets around both factors", {"evalreal", "[2.7]*[3.5]"}, {}, "6 0\n"},
        {"a comma inside brackets", {"evalreal", "[1,2]"}, {}, "1 0\n"},
        {"the same through --batch", {"evalreal", "--batch"}, "[1,2]\n", "1 0\n"},
        {"brackets after --", {"eval", "--z", "1,2", "--", "[Z]"}, {}, "0 0 1\n"},
        {"batch line without Q takes --q", {"evalreal", "--batch", "--q", "2"}, "Q*X\t3\n", "6 0\n"},
        // clang-format on
    };
    for (const Row& row : rows) {
        const Result r = RunProgram(TESSAREL_CLI, row.args, {}, {}, row.input);
        EXPECT_EQ(r.status, 0) << row.name << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, row.out) << row.name;
    }
    // The window's command line reads its formula the same way.
    std::string program = "tessarel", formula = "[Z]*[Z]";
    char* argv[] = {program.data(), formula.data()};
    CLI::App app;
    surfaceoptions::SurfaceOptionSet set;
    set.AddTo(app, surfaceoptions::SurfaceOptionSet::Surface, false);
    app.parse(2, argv);
    EXPECT_EQ(set.Read().request.formula, "[Z]*[Z]");
}

TEST(Formats, ColouringByHeightIsTheDefaultPicture) {
    enum Same { Plain, Phase, Neither };
    const struct {
        const char* name;
        QStringList options;
        Same same;
    } rows[] = {
        {"height", {"--colour", "height"}, Plain},
        {"a wheel alone changes nothing", {"--wheel", "hsv"}, Plain},
        {"phase on the even wheel", {"--colour", "phase", "--wheel", "oklab"}, Phase},
        {"z interval", {"--colour", "zrange"}, Neither},
        {"phase on the hsv wheel", {"--colour", "phase", "--wheel", "hsv"}, Neither},
        {"no legend", {"--legend", "0"}, Plain},
        {"a legend", {"--legend", "1"}, Neither},
    };
    QTemporaryDir dir;
    const QImage plain = Rendered(dir, {}, "plain.png");
    const QImage phase = Rendered(dir, {"--colour", "phase"}, "phase.png");
    ASSERT_FALSE(plain == phase);
    for (const auto& r : rows) {
        const QImage image = Rendered(dir, r.options, "x.png");
        EXPECT_EQ(image == plain, r.same == Plain) << r.name;
        EXPECT_EQ(image == phase, r.same == Phase) << r.name;
    }
}

TEST(Formats, PortraitIsThePixelsOfF) {
    // --view portrait writes the portrait of the options' intervals and Q, one
    // pixel per point; x is pulled in toward its middle as for the surface.
    QTemporaryDir dir;
    const QString file = dir.filePath("portrait.png");
    const Result r = Cli({"render", "--view", "portrait", "--width", "60", "--height", "40", "--x",
                          "-2,4", "--q", "1", "--wheel", "hsv", "-o", file, "(Z-Q)/(Z^2+Z+1)"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QImage image(file);
    portrait::PortraitJob job;
    job.formula = "(Z-Q)/(Z^2+Z+1)";
    job.state.Q = Complex{1, 0};
    const sampling::IntervalValues ranges = sampling::RangesOf({-2, -4, -4, 4, 4, 4});
    job.xLow = ranges[0];
    job.xHigh = ranges[3];
    job.width = 60;
    job.height = 40;
    job.wheel = pwHsv;
    const portrait::Portrait expected = portrait::ComputePortrait(job);
    ASSERT_EQ(image.size(), QSize(60, 40));
    int differing = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const TColor c = expected.pixels[static_cast<std::size_t>(y * 60 + x)];
            differing += image.pixel(x, y) != qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
        }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(Cli({"render", "--view", "portrait", "-o", dir.filePath("p.svg"), "Z"}).status, 2);
}

TEST(Formats, FileEndingsInAnyCase) {
    const struct {
        const char* file;
        QByteArray start;
    } rows[] = {{"x.PNG", "\x89PNG"}, {"x.Svg", "<?xml"}, {"x.PDF", "%PDF-"}};
    for (const auto& row : rows) {
        QTemporaryDir dir;
        const Result r = Cli({"render", "-o", dir.filePath(row.file), "Z"});
        EXPECT_EQ(r.status, 0) << row.file << ": " << r.err.toStdString();
        QFile file(dir.filePath(row.file));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << row.file;
        EXPECT_TRUE(file.readAll().startsWith(row.start)) << row.file;
    }
}

TEST(Formats, PngAtTwiceTheSizeIsTheSamePicture) {
    QTemporaryDir dir;
    const QImage start = Rendered(dir, {"--coords", "1", "--box", "1"}, "start.png");
    const QImage twice = Rendered(
        dir, {"--coords", "1", "--box", "1", "--width", "1646", "--height", "1306"}, "twice.png");
    const QImage modulus = Rendered(dir, {"--coords", "1", "--box", "1", "--mode", "3"}, "3.png");
    ASSERT_EQ(start.size(), QSize(823, 653));
    ASSERT_EQ(twice.size(), QSize(1646, 1306));
    const QImage down = twice.scaled(start.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(Difference(start, down), SamePicture);
    EXPECT_GT(Difference(start, modulus), SamePicture); // the tolerance tells pictures apart
}

TEST(Formats, PngOnStandardOutputIsTheFilesPicture) {
    QTemporaryDir dir;
    const QImage file = Rendered(dir, {}, "start.png");
    const Result r = Cli({"render", "-o", "-", StartFormula});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(QImage::fromData(r.out, "PNG") == file);
    EXPECT_FALSE(QFile::exists("-"));
}

TEST(Formats, SvgIsAVectorOfTheSamePicture) {
    QTemporaryDir dir;
    const QImage png = Rendered(dir, {"--coords", "1"}, "start.png");
    Rendered(dir, {"--coords", "1"}, "start.svg");
    QSvgRenderer svg(dir.filePath("start.svg"));
    ASSERT_TRUE(svg.isValid());
    // One group per colour change, not per shape: the 36 x 36 plot stays small.
    EXPECT_LT(QFileInfo(dir.filePath("start.svg")).size(), 1'500'000);
    EXPECT_EQ(svg.viewBox(), QRect(0, 0, 823, 653));
    QImage drawn(png.size(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    svg.render(&painter);
    painter.end();
    EXPECT_LT(Difference(png, drawn), SamePicture);
}

TEST(Formats, PdfIsOnePageOfThePictureSize) {
    QTemporaryDir dir;
    Rendered(dir, {}, "start.pdf");
    QFile file(dir.filePath("start.pdf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 1);
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 617")); // 823 pixels at 96 dpi in points
}

TEST(Formats, AnimatedWebpHasEveryFrame) {
    QTemporaryDir dir;
    const QString file = dir.filePath("sweep.webp");
    const Result r = Cli({"animate", "--sweep", "q", "--frames", "20", "--width", "411", "--height",
                          "326", "-o", file, StartFormula});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QFile in(file);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()),
                        static_cast<size_t>(bytes.size())};
    WebPDemuxer* demux = WebPDemux(&data);
    ASSERT_NE(demux, nullptr);
    EXPECT_EQ(WebPDemuxGetI(demux, WEBP_FF_FRAME_COUNT), 20u);
    EXPECT_EQ(WebPDemuxGetI(demux, WEBP_FF_CANVAS_WIDTH), 411u);
    EXPECT_EQ(WebPDemuxGetI(demux, WEBP_FF_CANVAS_HEIGHT), 326u);
    WebPIterator frame;
    ASSERT_TRUE(WebPDemuxGetFrame(demux, 1, &frame));
    EXPECT_EQ(frame.duration, 15);
    WebPDemuxReleaseIterator(&frame);
    WebPDemuxDelete(demux);
}

TEST(Formats, FrameFolderHoldsNumberedPngs) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("frames/");
    const Result r = Cli({"animate", "--sweep", "q", "--frames", "20", "-o", folder, StartFormula});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(names.size(), 20);
    EXPECT_EQ(names.front(), "frame-0001.png");
    EXPECT_EQ(names.back(), "frame-0020.png");
    const QImage first(folder + names[0]), second(folder + names[1]);
    EXPECT_EQ(first.size(), QSize(823, 653));
    EXPECT_FALSE(first == second); // Q moved
    EXPECT_TRUE(first == Rendered(dir, {}, "start.png"));
}

TEST(Formats, CsvHasEveryPointWithItsPosition) {
    const Result r = Cli({"grid", "--format", "csv", "--points", "4", "Z"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1 + 16);
    EXPECT_EQ(lines[0], "p,i,x,y,re_f,im_f,drawn");
    // Mode 1 of Z: the drawn value is x; p = 4, i = 4 lies on the high ends.
    const QList<QByteArray> last = lines[16].split(',');
    ASSERT_EQ(last.size(), 7);
    for (int column : {0, 1, 2, 3, 6})
        EXPECT_EQ(last[column],
                  (QList<QByteArray>{"4", "4", "3.996", "4", "", "", "3.996"}[column]))
            << column;
    EXPECT_EQ(lines[1].split(',').mid(0, 4), (QList<QByteArray>{"1", "1", "-1.998", "-2"}));

    const Result values = Cli({"grid", "--points", "72", "Z"});
    const QList<QByteArray> rows = values.out.trimmed().split('\n');
    ASSERT_EQ(rows.size(), 72);
    EXPECT_EQ(rows[0].count(',') + 1, 72);
}

TEST(WindowCommandLine, StartOptionsDrawWhatRenderDraws) {
    const QStringList options = {"--mode",   "3",      "--x",      "-2,2",  "--q",      "0.5",
                                 "--angles", "30,200", "--box",    "1",     "--coords", "1",
                                 "--mesh",   "0",      "--colour", "phase", "--legend", "1"};
    const char* const formula = "sin(z)*q";

    std::vector<std::string> args = {"tessarel"};
    for (const QString& o : options) args.push_back(o.toStdString());
    args.push_back(formula);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    CLI::App app;
    surfaceoptions::SurfaceOptionSet set;
    set.AddTo(app,
              surfaceoptions::SurfaceOptionSet::Surface | surfaceoptions::SurfaceOptionSet::View,
              false);
    app.parse(static_cast<int>(argv.size()), argv.data());

    MainWindow window;
    window.ApplyStartOptions(set.Read());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    QTemporaryDir dir;
    const QString file = dir.filePath("same.png");
    const Result r = Cli(QStringList{"render", "-o", file} + options + QStringList{formula});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QImage rendered(file);
    const QImage shown = window.findChild<PlotWidget*>("P3D1")->Image();
    EXPECT_TRUE(rendered == shown.convertToFormat(rendered.format()));
    sampling::SetQ(0);
}

namespace {

// The words a POSIX shell makes of line, printed by the shell itself.
std::vector<std::string> ShellWords(const std::string& line) {
    QProcess sh;
    sh.start("sh", {"-c", QString::fromStdString("printf '%s\\0' " + line)});
    if (!sh.waitForFinished(10000)) return {};
    std::vector<std::string> words;
    for (const QByteArray& word : sh.readAllStandardOutput().split('\0'))
        words.push_back(word.toStdString());
    words.pop_back(); // after the last terminator
    return words;
}

// words read by the window's option set.
surfaceoptions::SurfaceOptions ParsedOptions(std::vector<std::string> words) {
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    CLI::App app;
    surfaceoptions::SurfaceOptionSet set;
    set.AddTo(app,
              surfaceoptions::SurfaceOptionSet::Surface | surfaceoptions::SurfaceOptionSet::View |
                  surfaceoptions::SurfaceOptionSet::WindowPoints,
              false);
    app.parse(static_cast<int>(argv.size()), argv.data());
    return set.Read();
}

} // namespace

TEST(CopiedCommand, ReadsBackAsTheSameOptions) {
    using Options = surfaceoptions::SurfaceOptions;
    struct Row {
        const char* name;
        std::function<void(Options&)> change;
        const char* arguments;                   // after "-o bild.png", as the shell sees them
        std::function<void(Options&)> read = {}; // where what reads back differs
    };
    const Row rows[] = {
        // clang-format off
        {"defaults", [](Options&) {}, "'SIN(Z+Q)*Z/10'"},
        {"mode", [](Options& o) { o.request.displayMode = 3; }, "--mode 3 'SIN(Z+Q)*Z/10'"},
        {"negative q", [](Options& o) { o.request.q = -2.5; }, "--q=-2.5 'SIN(Z+Q)*Z/10'"},
        {"q as short as it reads back", [](Options& o) { o.request.q = 0.1; }, "--q 0.1 'SIN(Z+Q)*Z/10'"},
        {"x interval", [](Options& o) { o.request.intervals[0] = "-2"; o.request.intervals[3] = "2"; }, "--x=-2,2 'SIN(Z+Q)*Z/10'"},
        {"y interval of formulas", [](Options& o) { o.request.intervals[1] = "-x"; o.request.intervals[4] = "2*pi"; }, "--y='-x,2*pi' 'SIN(Z+Q)*Z/10'"},
        {"z interval with a blank", [](Options& o) { o.request.intervals[5] = "2 * Q"; o.request.q = 1; }, "--q 1 --z='-4,2 * Q' 'SIN(Z+Q)*Z/10'"},
        {"a comma in a lower bound", [](Options& o) { o.request.intervals[2] = "1,5"; }, "--z 1.5,4 'SIN(Z+Q)*Z/10'", [](Options& o) { o.request.intervals[2] = "1.5"; }},
        {"a field that does not evaluate reads 0", [](Options& o) { o.request.intervals[0] = "ABC"; }, "--x 0,4 'SIN(Z+Q)*Z/10'", [](Options& o) { o.request.intervals[0] = "0"; }},
        {"log height", [](Options& o) { o.request.logHeight = true; }, "--log 'SIN(Z+Q)*Z/10'"},
        {"points", [](Options& o) { o.request.points = 120; }, "--points 120 'SIN(Z+Q)*Z/10'"},
        {"angles", [](Options& o) { o.angleX = -5.5; o.angleZ = 200; }, "--angles=-5.5,200 'SIN(Z+Q)*Z/10'"},
        {"size", [](Options& o) { o.size = 0.75; }, "--size 0.75 'SIN(Z+Q)*Z/10'"},
        {"mesh, scales and box", [](Options& o) { o.mesh = false; o.coords = o.box = true; }, "--mesh 0 --coords 1 --box 1 'SIN(Z+Q)*Z/10'"},
        {"colouring, wheel and legend", [](Options& o) { o.coloring = scPhase; o.wheel = pwHsv; o.legend = true; }, "--colour phase --wheel hsv --legend 1 'SIN(Z+Q)*Z/10'"},
        {"colour over the z interval", [](Options& o) { o.coloring = scHeightZRange; }, "--colour zrange 'SIN(Z+Q)*Z/10'"},
        {"quote in the formula", [](Options& o) { o.request.formula = "SIN(Z)'"; }, "'SIN(Z)'\\'''"},
        {"blanks and shell characters", [](Options& o) { o.request.formula = "SIN( Z ) * $HOME \\ `Q` !"; }, "'SIN( Z ) * $HOME \\ `Q` !'"},
        {"e and its upper case in Windows-1252", [](Options& o) { o.request.formula = "\xC9^Z"; o.request.intervals[3] = "\xC9"; }, "--x='-4,\xC3\x89' '\xC3\x89^Z'"},
        {"lower-case e upper-cased as the formula line does", [](Options& o) { o.request.formula = "\xE9^Z"; }, "'\xC3\xA9^Z'", [](Options& o) { o.request.formula = "\xC9^Z"; }},
        {"square brackets", [](Options& o) { o.request.formula = "[Z]*2"; }, "'[Z]*2'"},
        {"a formula that starts with a minus", [](Options& o) { o.request.formula = "-Z^2"; }, "-- '-Z^2'"},
        // clang-format on
    };
    for (const Row& row : rows) {
        Options options;
        options.request.formula = "SIN(Z+Q)*Z/10";
        options.formulaGiven = true;
        row.change(options);
        const std::string render = surfaceoptions::RenderCommandLine(options);
        EXPECT_EQ(render, std::string("tessarel-cli render -o bild.png ") + row.arguments)
            << row.name;
        const std::vector<std::string> words = ShellWords(render);
        ASSERT_GE(words.size(), 5u) << row.name;
        EXPECT_EQ(std::vector<std::string>(words.begin(), words.begin() + 4),
                  (std::vector<std::string>{"tessarel-cli", "render", "-o", "bild.png"}))
            << row.name;
        Options expected = options;
        if (row.read) row.read(expected);
        std::vector<std::string> window = {"tessarel"};
        window.insert(window.end(), words.begin() + 4, words.end());
        EXPECT_TRUE(ParsedOptions(window) == expected) << row.name;
        EXPECT_EQ(ShellWords(surfaceoptions::WindowCommandLine(options)), window) << row.name;
    }
    sampling::SetQ(0);
    Options wide;
    wide.request.formula = "Z";
    EXPECT_EQ(surfaceoptions::RenderCommandLine(wide, "x.png", 1646, 653),
              "tessarel-cli render -o x.png --width 1646 'Z'");
}

TEST(WindowCommandLine, HelpListsOnlyOptionsTheWindowTakes) {
    const Result help = RunProgram(TESSAREL_WINDOW, {"--help"});
    ASSERT_EQ(help.status, 0);
    const QRegularExpression option("--[a-z][a-z-]*");
    QStringList names;
    for (auto it = option.globalMatch(QString::fromUtf8(help.out)); it.hasNext();)
        names << it.next().captured();
    names.removeDuplicates();
    EXPECT_TRUE(names.contains("--points") && names.contains("--log"))
        << names.join(' ').toStdString();
    for (const QString& name : names) {
        if (name == "--help" || name == "--version") continue;
        // A known option names the value it cannot read.
        const Result r = RunProgram(TESSAREL_WINDOW, {name + "=?"});
        EXPECT_EQ(r.status, 2) << name.toStdString();
        EXPECT_FALSE(r.err.contains("unknown option")) << r.err.toStdString();
    }
}

TEST(Simulation, QSweepStepsReverseBeyondTheBounds) {
    struct Row {
        const char* name;
        double q, step;
        bool up;
        std::vector<double> next; // the Q field after each tick
    };
    const Row rows[] = {
        {"starts downward", 0, 0.1, false, {-0.1, -0.2}},
        {"overshoot clamps and reverses", -9.95, 0.1, false, {-10, -9.9, -9.8}},
        {"landing on the bound shows it twice", -9.9, 0.1, false, {-10, -10, -9.9}},
        {"upper bound", 9.85, 0.2, true, {10, 9.8}},
        {"two decimals as the field shows", 0.1, 0.01, true, {0.11, 0.12, 0.13}},
        {"no negative zero", 0.1, 0.1, false, {0, -0.1}},
    };
    for (const Row& row : rows) {
        simulation::QSweep sweep{row.q, row.step, row.up};
        for (std::size_t k = 0; k < row.next.size(); ++k) {
            sweep.Tick();
            EXPECT_EQ(sweep.q, row.next[k]) << row.name << ", tick " << k + 1;
            EXPECT_FALSE(std::signbit(sweep.q) && sweep.q == 0) << row.name;
        }
    }
    const struct {
        double angle, next;
    } turns[] = {{358, 359}, {359, 0}, {360, 0}, {65.5, 67}, {0, 1}};
    for (const auto& t : turns) EXPECT_EQ(simulation::NextAngle(t.angle), t.next) << t.angle;
}
