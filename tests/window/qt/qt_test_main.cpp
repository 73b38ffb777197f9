// The Qt shell's tests need one QApplication for the whole run, on the offscreen platform.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The options file the window writes goes to a folder of this run, never the user's.
    char configHome[] = "/tmp/voltrax_qt_tests_XXXXXX";
    if (mkdtemp(configHome) != nullptr) setenv("XDG_CONFIG_HOME", configHome, 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(configHome);
    return result;
}
