// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/served_page.h"

#include "qt/clock_view.h"
#include "qt/modules.h"
#include "qt/shared_clock.h"

namespace tamberlight {

ServedPage::ServedPage(ClockView& view, const ClockWindow& model, ServeSetup setup,
                       ErrorSink report)
    : view_(view)
    , model_(model)
    , setup_(std::move(setup))
    , report_(std::move(report)) {}

ServedPage::~ServedPage() = default;

void ServedPage::start() {
    std::string told;
    using Make = PageServer* (*)(const PageServerOptions*, std::string*);
    const auto make = reinterpret_cast<Make>(
        moduleFunction("libtamberlight_serve.so", "tamberlight_make_page_server", told));
    if (make == nullptr)
        return report_("cannot load the page module (" + told + "); no page is served");
    const PageServerOptions options{setup_.address, setup_.port, setup_.token};
    server_.reset(make(&options, &told));
    report_(told);
    if (!server_)
        return;
    feed_.emplace(newIdentity());
    connect(&view_, &ClockView::shown, this, &ServedPage::update);
    update();
}

void ServedPage::update() {
    const std::optional<std::string> message = feed_->update(model_);
    if (!message)
        return;
    if (feed_->pictureChanged())
        server_->showPicture(model_.picturePath());
    server_->send(*message);
}

} // namespace tamberlight
