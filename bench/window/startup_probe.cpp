// Start-up time of the built program: launches it and watches the X screen until the
// title picture is shown in full, timing from just before the launch. Also writes a
// settings file with music on, so the program starts as a player with music would.
//   voltrax_startup_probe --settings <file>       writes the settings record
//   voltrax_startup_probe <program> <title.bmp> [runs] [--trace]
// With --trace the program gets its launch time in VOLTRAX_STARTUP_TRACE and prints when
// each step of its start-up ended (the breakdown in bench/README.md).
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "core/game.h"
#include "frontend/sys_data.h"
#include "support/test_game.h"

namespace {

constexpr int kComparedRows = 150;

double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Whether the title picture's top (the part no button covers) shows anywhere down the
// grabbed band, which is as wide as the picture and where the program centres its window.
bool ShowsTitle(const QImage& screen, const QImage& title) {
    const int w = title.width(), h = kComparedRows;
    for (int x : {0}) {
        for (int y = 0; y + h <= screen.height(); ++y) {
            if (screen.pixel(x, y) != title.pixel(0, 0) ||
                screen.pixel(x + w - 1, y) != title.pixel(w - 1, 0))
                continue;
            bool all = true;
            for (int ty = 0; ty < h && all; ++ty) {
                const auto* s = reinterpret_cast<const QRgb*>(screen.constScanLine(y + ty)) + x;
                const auto* t = reinterpret_cast<const QRgb*>(title.constScanLine(ty));
                for (int tx = 0; tx < w; ++tx)
                    if ((s[tx] & 0xFFFFFF) != (t[tx] & 0xFFFFFF)) {
                        all = false;
                        break;
                    }
            }
            if (all) return true;
        }
    }
    return false;
}

// CPU the program has used so far (every thread), in ms; /proc counts in clock ticks.
double ProgramCpuMs(qint64 pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    const auto close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    double ticks = 0;
    for (int i = 0; i <= 12 && fields >> field; ++i)
        if (i == 11 || i == 12) ticks += std::stod(field);  // utime, stime
    return 1e3 * ticks / double(sysconf(_SC_CLK_TCK));
}

int WriteSettings(const char* path) {
    vx::testing::TestGame tg;
    vx::Game& g = tg.g();
    g.Options.Set(vx::Switch::kMusic, true);
    g.Options.Set(vx::Switch::kEffects, true);
    const vx::SettingsRecord r = vx::EncodeSettings(g);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(r.data()), std::streamsize(r.size()));
    return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--settings") return WriteSettings(argv[2]);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <program> <title.bmp> [runs] [--trace]\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QImage title = QImage(QString::fromLocal8Bit(argv[2]), "BMP").convertToFormat(QImage::Format_RGB32);
    if (title.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
    const bool trace = argc > 4 && std::string(argv[4]) == "--trace";
    QScreen* screen = QGuiApplication::primaryScreen();
    std::vector<double> shown, cpu;
    double worstPoll = 0;
    for (int run = 0; run < runs; ++run) {
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const double launch = NowMs();
        if (trace) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("VOLTRAX_STARTUP_TRACE"), QString::number(launch, 'f', 3));
            program.setProcessEnvironment(env);
        }
        program.start(QString::fromLocal8Bit(argv[1]), {});
        double lastPoll = launch, seenAt = -1;
        while (NowMs() - launch < 10000) {
            const double polled = NowMs();
            // Only the band the centred window covers: a small grab disturbs the start less.
            const QImage grab =
                screen->grabWindow(0, (screen->geometry().width() - title.width()) / 2, 0, title.width())
                    .toImage()
                    .convertToFormat(QImage::Format_RGB32);
            if (ShowsTitle(grab, title)) {
                seenAt = NowMs();  // an upper bound: it was on screen by the end of this grab
                cpu.push_back(ProgramCpuMs(program.processId()));
                break;
            }
            worstPoll = std::max(worstPoll, NowMs() - lastPoll);
            lastPoll = polled;
            QThread::msleep(5);
        }
        program.terminate();
        program.waitForFinished(5000);
        if (seenAt < 0) {
            std::printf("run %d: title not seen within 10 s\n", run + 1);
            return 1;
        }
        shown.push_back(seenAt - launch);
        std::printf(
            "run %d: title on screen %.0f ms after launch (grab before it: %.0f ms), %.0f ms of CPU by "
            "then\n",
            run + 1, seenAt - launch, lastPoll - launch, cpu.back());
        QThread::msleep(300);
    }
    std::sort(shown.begin(), shown.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf(
        "startup_ms median %.0f  max %.0f  cpu_ms median %.0f  (%d runs; one screen grab and search takes "
        "up to %.0f ms)\n",
        shown[shown.size() / 2], shown.back(), cpu[cpu.size() / 2], runs, worstPoll);
    return 0;
}
