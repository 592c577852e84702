// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// What the clock's web page is sent: the room's clock message, what the window shows beside it,
// and only when something changed.
#include "app/page_feed.h"
#include "support/model_test.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tamberlight::test {

namespace {

class PageFeedTest : public ModelTest {
protected:
    // The next message, read as any page reads it.
    QJsonObject next() {
        const std::optional<std::string> message = feed.update(window);
        if (!message)
            return {};
        sent = *message;
        return QJsonDocument::fromJson(QByteArray::fromStdString(sent)).object();
    }
    PageFeed feed{"hall-pc-1"};
    std::string sent;
};

} // namespace

TEST_F(PageFeedTest, SendsTheRoomsMessageWithTheDialAsTheWindowDrawsItOnlyWhenItChanged) {
    QJsonObject page = next();
    std::optional<ClockMessage> clock = decodeClockMessage(sent);
    ASSERT_TRUE(clock) << sent;
    EXPECT_EQ(clock->leader + " " + clock->clock, "hall-pc-1 00:00");
    EXPECT_TRUE(next().isEmpty()) << "nothing new, nothing sent";

    window.clockIsNow(at(9, 14), false);
    EXPECT_EQ(next()["kind"].toString(), "jump");
    window.tick();
    page = next();
    clock = decodeClockMessage(sent);
    ASSERT_TRUE(clock);
    EXPECT_TRUE(clock->tick);
    EXPECT_EQ(clock->sequence, 3U);
    EXPECT_EQ(page["mark"].toString(), "");
    QJsonArray lines = page["dial"].toObject()["lines"].toArray();
    const QJsonArray minuteHand = lines[1].toArray();
    EXPECT_FLOAT_EQ(minuteHand[2].toDouble(), window.minuteHand.x2);
    EXPECT_FLOAT_EQ(minuteHand[3].toDouble(), window.minuteHand.y2);
    EXPECT_EQ(lines.size(), 14);

    services.openAnswers.push_back("/pictures/hall.png");
    window.choosePicture();
    window.movePictureDown();
    page = next();
    EXPECT_TRUE(feed.pictureChanged()) << "the page loads the new picture";
    EXPECT_EQ(page["picture"].toInt(), 1);
    EXPECT_EQ(page["dial"].toObject()["image"].toArray()[1].toDouble(), window.picture.top);

    window.switchMarks();
    window.intervalBox.setText("0");
    window.setInterval();
    page = next();
    lines = page["dial"].toObject()["lines"].toArray();
    EXPECT_EQ(lines.size(), 2) << "hidden marks are not drawn";
    EXPECT_EQ(page["mark"].toString(), "‖ 停止中") << sent;
    EXPECT_FALSE(page["running"].toBool());
    EXPECT_EQ(page["kind"].toString(), "jump");
}

TEST_F(PageFeedTest, AnAnnouncementIsSentWholeCharactersAndReadsBackAsWritten) {
    const std::string said = "18:30 \"boss\" \\ arrives\t駅 ";
    std::string line = said;
    while (line.size() < 3 * PageFeed::LongestAnnouncement)
        line += "駅";
    window.scheduleBox.setText("#t\r\n" + line);
    window.applySchedule();
    tickFrom(18, 29);
    const QString shown = next()["announcement"].toString();
    EXPECT_TRUE(shown.startsWith(QString::fromStdString(said))) << sent.substr(0, 200);
    EXPECT_FALSE(shown.contains(QChar::ReplacementCharacter));
    EXPECT_LE(shown.toUtf8().size(), PageFeed::LongestAnnouncement);
    EXPECT_GT(shown.toUtf8().size(), PageFeed::LongestAnnouncement - 3);
}

} // namespace tamberlight::test
