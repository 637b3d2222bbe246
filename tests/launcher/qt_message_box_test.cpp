#include "launcher/qt_message_box.h"

#include <gtest/gtest.h>
#include <QAbstractButton>

namespace kovessa {
namespace {

TEST(MissingRendererBox, SaysWhatIsMissingWithOnlyAnOkButtonAndNoIcon) {
    const std::unique_ptr<QMessageBox> box = MakeMissingRendererBox();
    EXPECT_EQ(box->windowTitle().toStdString(), "Kovessa(ScreenSaver)");
    EXPECT_EQ(box->text().toStdString(), "Kovessa.xyが同じﾌｫﾙﾀﾞに見つかりません！");
    EXPECT_EQ(box->textFormat(), Qt::AutoText);
    EXPECT_TRUE(box->informativeText().isEmpty());
    EXPECT_TRUE(box->detailedText().isEmpty());
    ASSERT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->buttonRole(box->buttons().front()), QMessageBox::AcceptRole);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_TRUE(box->iconPixmap().isNull());
}

} // namespace
} // namespace kovessa
