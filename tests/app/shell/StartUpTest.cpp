// The program's command line, the configuration check before start, and the tool indicator words.
#include "shell/StartUp.h"
#include "shell/ToolIndicator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(StartUp, CommandLineResolvesTheConfigurationInTheStartingDirectory)
{
    const struct {
        QStringList args;
        const char* configuration;
        int port;
        const char* error;
        const char* painting = "";
        int recoveryInterval = 60;
    } data[] = {
        {{}, "/home/u/config.xml", 0, ""},
        {{"--open", "p/a.nprpaint", "my.xml"}, "/home/u/my.xml", 0, "", "/home/u/p/a.nprpaint"},
        {{"--open=/tmp/b.nprpaint", "--recovery-interval", "2"}, "/home/u/config.xml", 0, "",
         "/tmp/b.nprpaint", 2},
        {{"--open"}, "", 0, "--open needs a painting file"},
        {{"--recovery-interval", "0"}, "", 0,
         "--recovery-interval needs a number of seconds from 1 to 86400, not \"0\""},
        {{"../t/my.xml"}, "/home/t/my.xml", 0, ""},
        {{"/etc/x.xml"}, "/etc/x.xml", 0, ""},
        {{"a.xml", "b.xml"}, "/home/u/config.xml", 0, ""},
        {{"--tuio-port", "3334", "my.xml"}, "/home/u/my.xml", 3334, ""},
        {{"my.xml", "--tuio-port=65535"}, "/home/u/my.xml", 65535, ""},
        {{"--tuio-port", "0"}, "", 0, "--tuio-port needs a port number from 1 to 65535, not \"0\""},
        {{"--tuio-port", "abc"}, "", 0,
         "--tuio-port needs a port number from 1 to 65535, not \"abc\""},
        {{"--tuio-port"}, "", 0, "--tuio-port needs a port number from 1 to 65535, not \"\""},
        {{"--fast"}, "", 0, "unknown option \"--fast\""},
    };
    for (const auto& row : data) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CommandLine line = parseCommandLine(row.args, "/home/u");
        EXPECT_EQ(line.error.toStdString(), row.error);
        if (!line.error.isEmpty()) continue;
        EXPECT_EQ(line.configuration.toStdString(), row.configuration);
        EXPECT_EQ(line.tuioPort, row.port);
        EXPECT_EQ(line.painting.toStdString(), row.painting);
        EXPECT_EQ(line.recoveryInterval, row.recoveryInterval);
    }
    EXPECT_TRUE(parseCommandLine({"--help"}, "/").help);
}

TEST(StartUp, ConfigurationProblemNamesTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString readable = dir.filePath("ok.xml");
    QFile file(readable);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    // A missing file's message is the program's last line in the window test.
    EXPECT_EQ(configurationProblem(readable), QString());
    EXPECT_EQ(configurationProblem(dir.path()),
              "Cannot read the configuration file \"" + dir.path() + "\": it is a directory.");
}

TEST(ToolIndicator, SaysModePostureAndInputCombination)
{
    const struct {
        int combo, mode, fake, last;
        const char* text;
    } data[] = {
        {7, 2, 6, 6, "Mode: Create or erase by posture | Posture: by contact | Input 7"},
        {7, 3, 6, 2, "Mode: Orientation | Posture: two fingers (by contact) | Input 7"},
        {7, 7, 0, 0, "Mode: No tool | Posture: pen (fixed) | Input 7"},
        {0, 6, 4, 6, "Mode: Colour | Posture: hand (fixed) | Input 0"},
    };
    for (const auto& row : data)
        EXPECT_EQ(toolIndicatorText(row.combo, row.mode, row.fake, row.last).toStdString(), row.text);
}
