// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/page_feed.h"
#include "qt/command_line.h"
#include "qt/page_server.h"
#include "qt/sound.h"

#include <QObject>
#include <memory>

namespace tamberlight {

class ClockView;

// The window's clock as a web page: it loads the page module (only here) and sends the page what
// the window shows, each time the window has changed.
class ServedPage : public QObject {
public:
    ServedPage(ClockView& view, const ClockWindow& model, ServeSetup setup, ErrorSink report);
    ~ServedPage() override;
    ServedPage(const ServedPage&) = delete;
    ServedPage& operator=(const ServedPage&) = delete;

    // Loads the module and listens; a page that cannot be served is told, and the window goes on.
    void start();

private:
    void update();

    ClockView& view_;
    const ClockWindow& model_;
    ServeSetup setup_;
    ErrorSink report_;
    std::unique_ptr<PageServer> server_;
    std::optional<PageFeed> feed_;
};

} // namespace tamberlight
