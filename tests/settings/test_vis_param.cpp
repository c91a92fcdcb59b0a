#include "settings/VisParam.h"

#include "AsUser.h"
#include "TempDir.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class VisParam : public CTempDirTest {};

TEST_F(VisParam, MissingFileGivesTheDefaults) {
    const CVisParam p = LoadVisParam(PathOf("VisParam.ini"));
    EXPECT_EQ(p, CVisParam{});
    EXPECT_EQ(p.x.nCell, 50);
    EXPECT_EQ(p.nOriginPlace, 4);
    EXPECT_EQ(p.x.nPlace, 2);
    EXPECT_EQ(p.y.nSpeed, 100u);
}

TEST_F(VisParam, SaveWritesAllKeysInOrderAndLoadsBack) {
    const std::string path = PathOf("VisParam.ini");
    CVisParam p;
    p.y.bShowAxis = 0;
    p.nOriginPlace = 8;
    p.x.nCell = 41;
    p.x.nSpeed = 250;
    p.y.nSpeed = 3000000000u; // above INT_MAX: stored as its 32-bit pattern
    p.y.nPlace = 1;
    p.x.bShowScale = 5; // any non-zero flag is written as 1
    ASSERT_TRUE(SaveVisParam(p, path));
    EXPECT_EQ(ReadText(path), "[Coor]\nbShow_X=1\nbShow_Y=0\nnOriginPlace=8\n"
                              "[Pane]\nbShow_X=1\nbShow_Y=1\nnWidth=41\nnHeight=50\n"
                              "[Scale]\nbShow_X=1\nbShow_Y=1\nnSpeed_X=250\n"
                              "nSpeed_Y=-1294967296\nnPlace_X=2\nnPlace_Y=1\n");
    p.x.bShowScale = 1;
    EXPECT_EQ(LoadVisParam(path), p);
    EXPECT_FALSE(SaveVisParam(p, PathOf("missing/VisParam.ini")));
}

TEST_F(VisParam, StrangeValuesNeverReachTheView) {
    struct Case {
        const char* text;
        int cell;            // nWidth and nHeight
        std::uint32_t speed; // nSpeed_X and nSpeed_Y
        int flag;            // bShow_X of every section, nOriginPlace and the placements
    };
    const Case cases[] = {
        {"0", 50, 100, 0},
        {"1", 1, 1, 1},
        {"10000", 10000, 10000, 10000},
        {"10001", 50, 10001, 10001},
        {"-5", 50, 4294967291u, -5},
        {"abc", 50, 100, 0},
        {"99999999999", 50, 1215752191u, 1215752191},
        {"", 50, 100, -1}, // an empty value counts as absent: each key's own default
    };
    for (const Case& c : cases) {
        const std::string path = PathOf("VisParam.ini");
        std::string text;
        for (const char* section : {"Coor", "Pane", "Scale"}) {
            text += std::string("[") + section + "]\n";
            for (const char* key : {"bShow_X", "bShow_Y", "nOriginPlace", "nWidth", "nHeight",
                                    "nSpeed_X", "nSpeed_Y", "nPlace_X", "nPlace_Y"})
                text += std::string(key) + "=" + c.text + "\n";
        }
        WriteText(path, text);
        const CVisParam p = LoadVisParam(path);
        EXPECT_EQ(p.x.nCell, c.cell) << c.text;
        EXPECT_EQ(p.y.nCell, c.cell) << c.text;
        EXPECT_EQ(p.x.nSpeed, c.speed) << c.text;
        EXPECT_EQ(p.y.nSpeed, c.speed) << c.text;
        if (c.flag == -1) {
            EXPECT_EQ(p, CVisParam{}) << c.text;
        } else {
            EXPECT_EQ(p.x.bShowAxis, c.flag) << c.text;
            EXPECT_EQ(p.y.bShowGrid, c.flag) << c.text;
            EXPECT_EQ(p.x.bShowScale, c.flag) << c.text;
            EXPECT_EQ(p.nOriginPlace, c.flag) << c.text;
            EXPECT_EQ(p.y.nPlace, c.flag) << c.text;
        }
    }
}

TEST(VisParamUnits, StepsRoundToTheNearestHundredth) {
    EXPECT_DOUBLE_EQ(UnitFromSpeed(250), 2.5);
    EXPECT_DOUBLE_EQ(UnitFromSpeed(4294967295u), 42949672.95);
    struct Case {
        double unit;
        std::int32_t speed;
    };
    const Case cases[] = {
        {0.29, 29},
        {0.125, 13},
        {1.0, 100},
        {2.5, 250},
        {0.0, 0},
        {-0.29, -29},
        {1e300, INT32_MAX},
        {-1e300, INT32_MIN},
        {std::numeric_limits<double>::infinity(), INT32_MAX},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpeedFromUnit(c.unit), c.speed) << c.unit;
    for (std::uint32_t n = 1; n < 100000; n += 7)
        ASSERT_EQ(SpeedFromUnit(UnitFromSpeed(n)), static_cast<std::int32_t>(n));
}

} // namespace

void PrintTo(const CVisParamLocation& l, std::ostream* os) {
    *os << "{" << l.strRead << ", " << l.strWrite << ", " << l.bMakeFolder << "}";
}

namespace {

TEST(VisParamLocation, PortableCopyBesideTheProgramInstalledCopyInTheUsersFolder) {
    const std::string exe = "/opt/curvist/", home = "/home/u/.config/";
    const std::string beside = exe + "VisParam.ini", user = home + "curvist/VisParam.ini";
    const std::string sys1 = "/etc/xdg/curvist/VisParam.ini",
                      sys2 = "/usr/etc/curvist/VisParam.ini";
    const std::vector<std::string> dirs = {"/etc/xdg/", "/usr/etc/"};
    struct Case {
        std::vector<std::string> existing;
        std::string config; // the user's configuration folder
        CVisParamLocation expected;
    };
    const Case cases[] = {
        // Portable: the marker alone decides; the user's and the system's files are ignored.
        {{exe + "curvist-portable", user, sys1}, home, {beside, beside, false}},
        {{exe + "curvist-portable"}, "", {beside, beside, false}},
        // Installed: the user's file once it exists, else the first default found.
        {{}, home, {beside, user, true}},
        {{beside, sys2}, home, {sys2, user, true}},
        {{beside, sys1, sys2}, home, {sys1, user, true}},
        {{beside, sys1, user}, home, {user, user, true}},
        // No home at all: defaults are read, nothing is written beside the program.
        {{beside, sys1}, "", {sys1, "", false}},
        {{beside}, "", {beside, "", false}},
    };
    for (const Case& c : cases) {
        const CVisParamLocation loc =
            ChooseVisParamLocation(exe, c.config, dirs, [&](const std::string& file) {
                return std::find(c.existing.begin(), c.existing.end(), file) != c.existing.end();
            });
        EXPECT_EQ(loc, c.expected) << c.existing.size() << " files, config " << c.config;
    }
}

TEST(VisParamLocation, SystemConfigDirsFollowTheXdgRules) {
    using Dirs = std::vector<std::string>;
    EXPECT_EQ(SystemConfigDirs(nullptr), Dirs{"/etc/xdg/"});
    EXPECT_EQ(SystemConfigDirs(""), Dirs{"/etc/xdg/"});
    EXPECT_EQ(SystemConfigDirs("relative:also/relative"), Dirs{"/etc/xdg/"});
    EXPECT_EQ(SystemConfigDirs("/a:rel::/b/"), (Dirs{"/a/", "/b/"}));
}

TEST(VisParamLocation, UserConfigHomeFollowsTheXdgRules) {
    struct Case {
        const char* xdg;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"/cfg", "/home/u", "/cfg/"},
        {"/cfg/", "/home/u", "/cfg/"},
        {"relative/cfg", "/home/u", "/home/u/.config/"}, // a relative value is ignored
        {"", "/home/u", "/home/u/.config/"},
        {nullptr, "/home/u", "/home/u/.config/"},
        {nullptr, nullptr, ""},
        {nullptr, "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UserConfigHome(c.xdg, c.home), c.expected)
            << (c.xdg ? c.xdg : "null") << " " << (c.home ? c.home : "null");
}

class VisParamInstalled : public CTempDirTest {
  protected:
    // An installed program: a folder the user may not write, holding an administrator's file.
    // The dialog's values must land in the user's copy and be the ones read after a restart.
    // Returns what went wrong, empty when all is well.
    std::string SaveAndRestart(const std::string& exeDir, const std::string& configHome) {
        const CVisParamLocation first = VisParamLocationIn(exeDir, configHome);
        if (first.strRead != exeDir + "VisParam.ini") return "read " + first.strRead;
        if (LoadVisParam(first.strRead).x.nCell != 77) return "the installed file was not read";
        CVisParam p;
        p.x.nCell = 33;
        p.nOriginPlace = 2;
        if (!SaveVisParam(p, first)) return "cannot save to " + first.strWrite;
        const CVisParamLocation restarted = VisParamLocationIn(exeDir, configHome);
        if (restarted.strRead != configHome + "curvist/VisParam.ini")
            return "read after restart " + restarted.strRead;
        if (!(LoadVisParam(restarted.strRead) == p)) return "the saved values were not read back";
        if (LoadVisParam(exeDir + "VisParam.ini").x.nCell != 77)
            return "the installed file changed";
        return {};
    }
};

TEST_F(VisParamInstalled, ReadOnlyProgramFolderKeepsSettingsInTheUsersFile) {
    const std::string exe = PathOf("lib") + "/", config = PathOf("home") + "/.config/";
    ASSERT_EQ(mkdir(exe.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(PathOf("home").c_str(), 0755), 0);
    WriteText(exe + "VisParam.ini", "[Pane]\nnWidth=77\n");

    ASSERT_EQ(chmod(exe.c_str(), 0555), 0);
    // The ordinary user owns the configuration folder, as at home.
    ASSERT_EQ(chmod(m_dir.c_str(), 0755), 0);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(PathOf("home").c_str(), 65534, 65534), 0);
    }
    const std::string failure = RunAsOrdinaryUser([&] { return SaveAndRestart(exe, config); });
    chmod(exe.c_str(), 0755);
    EXPECT_EQ(failure, "");
}

// Root may write the program's folder: the settings still go to root's own folder, so that
// they neither become every user's defaults nor outlive the package.
TEST_F(VisParamInstalled, WritableProgramFolderIsNeverWritten) {
    const std::string exe = m_dir.string() + "/", config = PathOf("home") + "/.config/";
    const CVisParamLocation loc = VisParamLocationIn(exe, config);
    EXPECT_EQ(loc.strWrite, config + "curvist/VisParam.ini");
    EXPECT_TRUE(SaveVisParam(CVisParam{}, loc));
    EXPECT_TRUE(std::filesystem::exists(loc.strWrite));
    EXPECT_FALSE(std::filesystem::exists(exe + "VisParam.ini"));
    EXPECT_FALSE(SaveVisParam(CVisParam{}, VisParamLocationIn(exe, "")));
}

TEST_F(VisParamInstalled, PortableMarkerKeepsSettingsBesideTheProgram) {
    const std::string exe = m_dir.string() + "/", config = PathOf("home") + "/.config/";
    WriteText(exe + "curvist-portable", "");
    const CVisParamLocation loc = VisParamLocationIn(exe, config, {PathOf("etc") + "/"});
    EXPECT_EQ(loc, (CVisParamLocation{exe + "VisParam.ini", exe + "VisParam.ini", false}));
    EXPECT_TRUE(SaveVisParam(CVisParam{}, loc));
    EXPECT_FALSE(std::filesystem::exists(PathOf("home")));
}

// A system-wide file in a configuration folder gives the defaults until the user saves.
TEST_F(VisParamInstalled, SystemDefaultsUntilTheUserSaves) {
    const std::string exe = PathOf("lib") + "/", config = PathOf("home") + "/.config/";
    const std::string etc = PathOf("etc") + "/";
    ASSERT_EQ(mkdir(exe.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(etc.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((etc + "curvist").c_str(), 0755), 0);
    WriteText(exe + "VisParam.ini", "[Pane]\nnWidth=77\n");
    WriteText(etc + "curvist/VisParam.ini", "[Pane]\nnWidth=66\n");
    const CVisParamLocation first = VisParamLocationIn(exe, config, {etc});
    EXPECT_EQ(LoadVisParam(first.strRead).x.nCell, 66);
    CVisParam p;
    p.x.nCell = 33;
    ASSERT_TRUE(SaveVisParam(p, first));
    EXPECT_EQ(LoadVisParam(VisParamLocationIn(exe, config, {etc}).strRead).x.nCell, 33);
    EXPECT_EQ(LoadVisParam(etc + "curvist/VisParam.ini").x.nCell, 66);
}

} // namespace

namespace {

// The dialog writes where the program's own choice says for the program's file, and a file
// named explicitly (tests, --ini) is read and written in place.
TEST(VisParamLocation, DialogLocationForAReadPath) {
    const CVisParamLocation def = DefaultVisParamLocation();
    EXPECT_EQ(VisParamLocationFor(def.strRead), def);
    EXPECT_EQ(VisParamLocationFor("/elsewhere/VisParam.ini"),
              (CVisParamLocation{"/elsewhere/VisParam.ini", "/elsewhere/VisParam.ini", false}));
}

} // namespace
