// The names a rename gives, and the names it refuses.
#include "organiser/commands/renamerules.h"

#include <gtest/gtest.h>

using namespace tarvo;

namespace {
struct Row {
    const char* oldName;
    const char* typed;
    const char* ext;
    const char* newName;
    const char* newMemo;
    const char* oldMemo;
};
} // namespace

TEST(RenameTargets, KeepsTheOldExtension) {
    const Row rows[] = {
        {"sea.jpg", "beach.png", ".jpg", "beach.jpg", "beach.TXT", "sea.TXT"},
        {"sea.jpg", "beach", ".jpg", "beach.jpg", "beach.TXT", "sea.TXT"},
        {"a.b.jpg", "cat", ".b.jpg", "cat.b.jpg", "cat.TXT", "a.TXT"},
        {"Sea.jpg", "sea.jpg", ".jpg", "sea.jpg", "sea.TXT", "Sea.TXT"},
        {"写真.JPG", "海", ".JPG", "海.JPG", "海.TXT", "写真.TXT"},
        {"sea.jpg", "my beach.x.y", ".jpg", "my beach.jpg", "my beach.TXT", "sea.TXT"},
    };
    for (const Row& r : rows) {
        const auto t = renameTargets(QString::fromUtf8(r.oldName), QString::fromUtf8(r.typed),
                                     QString::fromUtf8(r.ext));
        ASSERT_TRUE(t.has_value()) << r.typed;
        EXPECT_EQ(t->newName, QString::fromUtf8(r.newName));
        EXPECT_EQ(t->newMemo, QString::fromUtf8(r.newMemo));
        EXPECT_EQ(t->oldMemo, QString::fromUtf8(r.oldMemo));
    }
}

TEST(RenameTargets, RefusesNamesThatLeaveTheFolderOrHoldControlCharacters) {
    // An emptied field or a name typed from its "." would give a hidden ".jpg".
    const char* refused[] = {"up/..",    "sub/dir", "back\\slash", "line\r\n", "tab\there",
                             "bell\x07", "",        ".hidden"};
    for (const char* typed : refused)
        EXPECT_FALSE(renameTargets(QStringLiteral("sea.jpg"), QString::fromUtf8(typed),
                                   QStringLiteral(".jpg"))
                         .has_value())
            << typed;
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    EXPECT_FALSE(
        renameTargets(QStringLiteral("sea.jpg"), withNul, QStringLiteral(".jpg")).has_value());
    // An old name ending in a dot would otherwise give the names "." and "..".
    EXPECT_FALSE(renameTargets(QStringLiteral("x."), QString(), QStringLiteral(".")).has_value());
    EXPECT_FALSE(renameTargets(QStringLiteral("x.."), QString(), QStringLiteral("..")).has_value());
}
