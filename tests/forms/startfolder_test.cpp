// Started in a folder that cannot be listed, the organiser says so with the warning a change
// to such a folder gives, instead of showing an empty window without a word.
#include "organiser/dialogs/setdir.h"
#include "support/organiserfixture.h"
#include "support/unprivileged.h"

#include <QDir>

using namespace testing_support;

namespace {

constexpr auto kOpen = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                       QFileDevice::ReadOther | QFileDevice::ExeOther;

class StartFolder : public OrganiserTest {
protected:
    void startIn(const QString& folder) {
        cwd.reset(); // back to where the test began before the next folder is entered
        cwd = std::make_unique<CurrentDir>(folder);
        tarvo::Services s;
        s.clipboard = &clip;
        s.messages = &box;
        s.files = &files;
        org = std::make_unique<tarvo::Organiser>(s);
        org->start();
    }
};

} // namespace

TEST_F(StartFolder, AnUnlistableStartFolderIsReportedOnceAndAListableOneIsNot) {
    QFile::setPermissions(dir.path(), kOpen);
    const QString closed = dir.path() + QStringLiteral("closed");
    ASSERT_TRUE(QDir().mkdir(closed));
    dir.writePicture(QStringLiteral("closed/a.bmp"), 8, 8);
    QFile::setPermissions(closed, QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ExeOther); // entered, not listed
    {
        Unprivileged nobody;
        if (!nobody.active())
            GTEST_SKIP() << "root cannot give up its rights here";
        startIn(closed);
    }
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_TRUE(box.shown[0].text.startsWith(QStringLiteral("ファイルの一覧を読めません。\n")))
        << qPrintable(box.shown[0].text);
    EXPECT_EQ(box.shown[0].title, QStringLiteral("ディレクトリ指定"));
    EXPECT_EQ(box.shown[0].icon, platform::MessageBox::Icon::Warning);
    EXPECT_EQ(m().FileNames[0], QString());
    org.reset();

    box.shown.clear();
    writePictures(2);
    startIn(dir.path());
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(m().FileNames[1], QStringLiteral("p01.bmp"));
}
