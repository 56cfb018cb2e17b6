// The Qt side of the program: the GBK boundary, the search entry, the busy pointer and the
// window built from the form table.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include "app/form_state.h"
#include "app/gbk_unicode.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "app/search_box.h"
#include "app/search_entry.h"
#include "app/startup.h"
#include "query/http_get.h"
#include "query/query_observer.h"
#include "support/gbk_literal.h"
#include "support/program_fixture.h"

namespace qc {
namespace {

using test::Gbk;

TEST(GbkUnicode, ConvertsBothWaysAndReplacesWhatCannotCross) {
  EXPECT_EQ(FromGbk(Gbk("岳阳(湖南)")), QStringLiteral("岳阳(湖南)"));
  EXPECT_EQ(ToGbk(QStringLiteral("岳阳 & 北京")), Gbk("岳阳 & 北京"));
  EXPECT_EQ(FromGbk("a\xFF"
                    "b"),
            QStringLiteral("a\uFFFDb"));
  EXPECT_EQ(FromGbk("tail\xC7"), QStringLiteral("tail\uFFFD"));
  EXPECT_EQ(ToGbk(QStringLiteral("晴\U0001F600天")), Gbk("晴") + "?" + Gbk("天"));
}

// Every URL the program asks for, without a network.
std::vector<Text> g_requested;
bool g_busyDuringRequest = false;
Bytes Record(const Text& url) {
  g_requested.push_back(url);
  const QCursor* cursor = QApplication::overrideCursor();
  g_busyDuringRequest = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
  return {};
}

class AppTest : public test::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    g_requested.clear();
    SetHttpTransport(Record);
    window_ = std::make_unique<MainWindow>(Form());
  }
  void TearDown() override {
    window_.reset();
    SetHttpTransport(nullptr);
    SetQueryObserver(nullptr);
    ProgramTest::TearDown();
  }
  void Key(int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(window_->SearchBoxWidget(), &press);
  }
  std::unique_ptr<MainWindow> window_;
};

TEST_F(AppTest, EnterSearchesTheTypedTextUntrimmedAndOtherKeysDoNot) {
  window_->SearchBoxWidget()->setText(QStringLiteral(" 北京 "));
  Q_EMIT window_->SearchBoxWidget()->textEdited(QStringLiteral(" 北京 "));
  Key(Qt::Key_A, "a");
  EXPECT_TRUE(g_requested.empty());
  Key(Qt::Key_Return, "\r");
  ASSERT_EQ(g_requested.size(), 1u);
  EXPECT_NE(g_requested[0].find("city= " + Gbk("北京") + " a&dpc=1"), Text::npos);
  // The query emptied the box, in the state and on the screen.
  EXPECT_EQ(Form().searchBox.Get(), "");
  EXPECT_TRUE(window_->SearchBoxWidget()->text().isEmpty());
  Key(Qt::Key_Enter, "\r");
  ASSERT_EQ(g_requested.size(), 2u);
  EXPECT_NE(g_requested[1].find("city=&dpc=1"), Text::npos);
}

TEST_F(AppTest, TheSearchButtonSearchesAndTheDecorationsDoNothing) {
  Form().searchBox.Set(Gbk("上海"));
  for (const char* name : {"超级按钮1", "超级按钮2", "超级按钮3"}) {
    static_cast<QAbstractButton*>(window_->Control(name))->click();
  }
  EXPECT_TRUE(g_requested.empty());
  static_cast<QAbstractButton*>(window_->Control("超级按钮_搜索"))->click();
  EXPECT_EQ(g_requested.size(), 1u);
}

TEST_F(AppTest, TheWindowShowsABusyPointerWhileAQueryRuns) {
  InstallBusyPointer();
  RunSearch();
  EXPECT_TRUE(g_busyDuringRequest);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(AppTest, TheFormStateReachesTheWidgets) {
  Form().titleLabel.Set(Gbk("岳阳(湖南)"));
  Form().caption.Set(Gbk("晴窗 1.0"));
  EXPECT_EQ(static_cast<QLabel*>(window_->Control("透明标签1"))->text(),
            QStringLiteral("岳阳(湖南)"));
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("晴窗 1.0"));
  EXPECT_EQ(window_->size(), QSize(698, 489));
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
  EXPECT_FALSE(window_->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(window_->Control("画板_关注")->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(window_->Control("编辑框_搜索")->parentWidget(), window_->Control("图片框5"));
}

TEST_F(AppTest, EscapeInTheSearchBoxClosesTheWindow) {
  window_->show();
  Key(Qt::Key_Escape, QString(QChar(27)));
  EXPECT_FALSE(window_->isVisible());
}

}  // namespace
}  // namespace qc
