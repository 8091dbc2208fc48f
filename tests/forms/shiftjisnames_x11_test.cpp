// File and folder names whose bytes are Shift-JIS, as old CDs and zips made on Windows bring
// them: shown decoded in the name field, the memo caption and the folder path, while every
// file operation uses the original bytes. Built where names are bytes (the POSIX side).
#include "platform/files.h"
#include "platform/textcodec.h"
#include "support/organiserfixture.h"

#include <filesystem>
#include <fstream>

using namespace testing_support;
using namespace tarvo;

namespace {

const QByteArray kFolderBytes("\x83\x74\x83\x48\x83\x8B\x83\x5F", 8); // フォルダ
const QByteArray kNameBytes("\x83\x65\x83\x58\x83\x67.bmp", 10);      // テスト.bmp
const QByteArray kMemoBytes("\x83\x65\x83\x58\x83\x67.TXT", 10);      // テスト.TXT

bool existsAsBytes(const QByteArray& path) {
    return std::ifstream(path.constData()).good();
}

} // namespace

TEST_F(OrganiserTest, ShownDecodedWhileFilesAreReachedByTheirOwnBytes) {
    const QByteArray folder = QFile::encodeName(dir.path());
    // Named through the bytes themselves, as an unzip or a CD mount leaves them.
    dir.writePicture(QStringLiteral("x.bmp"), 30, 20, Qt::blue);
    std::filesystem::rename(QFile::encodeName(dir.file(QStringLiteral("x.bmp"))).toStdString(),
                            (folder + kNameBytes).toStdString());
    start();
    EXPECT_EQ(view()->Text1(0)->toPlainText(), QStringLiteral("テスト.bmp"));
    ASSERT_TRUE(view()->Image1(0)->hasPicture()); // read through the original bytes

    // Selecting renames nothing, copies the picture and names the memo as shown.
    clickPicture(0);
    EXPECT_TRUE(existsAsBytes(folder + kNameBytes));
    ASSERT_TRUE(clip.image.has_value());
    EXPECT_EQ(clip.image->size(), QSize(30, 20));
    EXPECT_EQ(memo()->windowTitle(), QStringLiteral("テスト.TXT"));
    typeMemo(QStringLiteral("memo"));
    press("TSave");
    EXPECT_TRUE(existsAsBytes(folder + kMemoBytes)); // beside the picture, in its bytes

    // A name the user types is a new name, written in UTF-8; the memo moves with it.
    typeName(0, QStringLiteral("新.bmp"));
    clickPicture(0);
    EXPECT_FALSE(existsAsBytes(folder + kNameBytes));
    EXPECT_TRUE(existsAsBytes(folder + QByteArray("新.bmp")));
    EXPECT_TRUE(existsAsBytes(folder + QByteArray("新.TXT")));

    // A folder part of a path is shown decoded too.
    EXPECT_EQ(platform::shownName(platform::decodePath("/mnt/" + kFolderBytes + "/a.bmp")),
              QStringLiteral("/mnt/フォルダ/a.bmp"));
}
