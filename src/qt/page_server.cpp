// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The page module: the clock's web page over Qt's own HTTP and WebSocket servers, loaded only by
// a window started with --serve.
#include "qt/page_server.h"

#include "qt/checked_file.h"

#include <QFile>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QMimeDatabase>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>
#include <QUrlQuery>
#include <QWebSocket>
#include <list>
#include <memory>
#include <unistd.h>
#include <vector>

namespace tamberlight {

namespace {

using Status = QHttpServerResponse::StatusCode;

// Viewers send nothing the clock reads; a larger frame than this closes the viewer.
constexpr quint64 LargestViewerMessage = 256;

// Connections that may each send at most a bound over their life (a request for the page is a
// few hundred bytes; the server would keep a request's whole body in memory), and only so many
// at once.
class BoundedListener final : public QTcpServer {
public:
    static constexpr qint64 MostBytesFromClient = 64 * 1024;
    static constexpr std::size_t MostConnections = PageServer::MostViewers + 100;

protected:
    void incomingConnection(qintptr descriptor) override {
        // A connection counts until its socket is gone, also once a live channel took it over
        // (which drops every signal connection the socket had).
        std::erase_if(open_, [](const QPointer<QTcpSocket>& socket) { return socket.isNull(); });
        if (open_.size() >= MostConnections) {
            ::close(static_cast<int>(descriptor));
            return;
        }
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        open_.emplace_back(socket);
        // Connected before the server's own reader: what is still unread counts again, which
        // only makes the bound stricter.
        connect(socket, &QIODevice::readyRead, socket,
                [socket, left = MostBytesFromClient]() mutable {
                    left -= socket->bytesAvailable();
                    if (left < 0)
                        socket->abort();
                });
        addPendingConnection(socket);
    }

private:
    std::vector<QPointer<QTcpSocket>> open_;
};

class Server final : public QObject, public PageServer {
public:
    explicit Server(const PageServerOptions& options)
        : token_(QString::fromStdString(options.token)) {
        QFile page(QStringLiteral(":/tamberlight/clock.html"));
        if (page.open(QIODevice::ReadOnly))
            page_ = page.readAll();
        http_.route(QStringLiteral("/"), [this](const QHttpServerRequest& request) {
            return allowed(request) ? QHttpServerResponse("text/html; charset=utf-8", page_)
                                    : QHttpServerResponse(Status::NotFound);
        });
        http_.route(QStringLiteral("/picture"), [this](const QHttpServerRequest& request) {
            return allowed(request) ? picture() : QHttpServerResponse(Status::NotFound);
        });
        // A WebSocket upgrade goes on to the live channel once this has written nothing: Qt 6.4
        // upgrades only a request that a route took, after the route's own answer.
        http_.route(QStringLiteral("/live"),
                    [](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
                        if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) != 0)
                            responder.write(QHttpServerResponder::StatusCode::NotFound);
                    });
        // The page runs no script but its own, loads nothing from elsewhere, and is never framed
        // by another site.
        http_.afterRequest([](QHttpServerResponse&& response) {
            response.addHeaders({{"Cache-Control", "no-store"},
                                 {"X-Content-Type-Options", "nosniff"},
                                 {"Content-Security-Policy",
                                  "default-src 'none'; script-src 'unsafe-inline'; style-src "
                                  "'unsafe-inline'; img-src 'self'; connect-src 'self' ws: wss:; "
                                  "frame-ancestors 'none'"}});
            return std::move(response);
        });
        connect(&http_, &QAbstractHttpServer::newWebSocketConnection, this, &Server::welcome);
        heartbeat_.setInterval(HeartbeatMilliseconds);
        connect(&heartbeat_, &QTimer::timeout, this, [this] { sendToAll(); });
    }

    // The viewers go before the list that keeps them.
    ~Server() override {
        for (QWebSocket* viewer : viewers_) {
            viewer->disconnect(this);
            delete viewer;
        }
    }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Why it cannot listen; empty when it does.
    QString listen(const PageServerOptions& options) {
        auto* tcp = new BoundedListener;
        tcp->setParent(&http_);
        if (!tcp->listen(QHostAddress(QString::fromStdString(options.address)),
                         static_cast<quint16>(options.port)))
            return tcp->errorString();
        http_.bind(tcp);
        port_ = tcp->serverPort();
        return {};
    }
    quint16 port() const { return port_; }

    void send(const std::string& message) override {
        last_ = QString::fromStdString(message);
        sendToAll();
    }

    void showPicture(const std::string& path) override {
        picturePath_ = path;
        picture_.reset();
    }

private:
    // The token, when one is asked for, compared in a time that does not tell how much of it
    // matched.
    bool allowed(const QUrl& url) const {
        if (token_.isEmpty())
            return true;
        const QString given =
            QUrlQuery(url).queryItemValue(QStringLiteral("token"), QUrl::FullyDecoded);
        bool same = given.size() == token_.size();
        char differs = 0;
        for (qsizetype i = 0; same && i < given.size(); ++i)
            differs |= static_cast<char>(given[i].unicode() != token_[i].unicode());
        return same && differs == 0;
    }
    bool allowed(const QHttpServerRequest& request) const {
        return (request.method() == QHttpServerRequest::Method::Get ||
                request.method() == QHttpServerRequest::Method::Head) &&
               allowed(request.url());
    }

    // The picture behind the dial, read once for all viewers; only a picture is ever served.
    QHttpServerResponse picture() {
        if (!picture_) {
            picture_.emplace();
            try {
                if (const std::optional<Descriptor> file =
                        picturePath_.empty() ? std::nullopt
                                             : openChecked(picturePath_, Access::Read)) {
                    const std::string bytes = readBounded(*file);
                    picture_->bytes =
                        QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
                    picture_->type = QMimeDatabase().mimeTypeForData(picture_->bytes).name();
                }
            } catch (const FileRefused&) {
                picture_->bytes.clear();
            }
        }
        // A drawing that could carry a script of its own is no picture here.
        if (picture_->bytes.isEmpty() || !picture_->type.startsWith(QLatin1String("image/")) ||
            picture_->type.contains(QLatin1String("svg")))
            return QHttpServerResponse(Status::NotFound);
        return QHttpServerResponse(picture_->type.toLatin1(), picture_->bytes);
    }

    void welcome() {
        while (http_.hasPendingWebSocketConnections()) {
            std::unique_ptr<QWebSocket> viewer = http_.nextPendingWebSocketConnection();
            if (viewer == nullptr)
                continue;
            const QUrl url = viewer->requestUrl();
            // Another site's script in a viewer's browser is no viewer.
            const QUrl origin(viewer->origin());
            const bool ours = viewer->origin().isEmpty() ||
                              (origin.host() == url.host() && origin.port(80) == url.port(80));
            const bool live = url.path() == QLatin1String("/live");
            if (!live || !ours || !allowed(url) ||
                static_cast<int>(viewers_.size()) >= MostViewers) {
                viewer->close(QWebSocketProtocol::CloseCodePolicyViolated,
                              live ? QStringLiteral("not now") : QString());
                viewer.release()->deleteLater();
                continue;
            }
            QWebSocket* added = viewer.release();
            added->setParent(this);
            added->setMaxAllowedIncomingFrameSize(LargestViewerMessage);
            added->setMaxAllowedIncomingMessageSize(LargestViewerMessage);
            viewers_.push_back(added);
            connect(added, &QWebSocket::disconnected, this, [this, added] {
                viewers_.remove(added);
                added->deleteLater();
            });
            if (!last_.isEmpty())
                added->sendTextMessage(last_);
        }
    }

    // A viewer that has not taken what it was sent before is dropped, never waited for.
    void sendToAll() {
        heartbeat_.start();
        if (last_.isEmpty())
            return;
        for (auto it = viewers_.begin(); it != viewers_.end();) {
            QWebSocket* viewer = *it;
            if (viewer->bytesToWrite() > SlowViewerBytes) {
                it = viewers_.erase(it);
                viewer->abort();
                viewer->deleteLater();
                continue;
            }
            viewer->sendTextMessage(last_);
            ++it;
        }
    }

    struct Picture {
        QByteArray bytes;
        QString type;
    };

    QHttpServer http_;
    QString token_;
    QByteArray page_;
    QString last_;
    std::string picturePath_;
    std::optional<Picture> picture_;
    std::list<QWebSocket*> viewers_;
    QTimer heartbeat_;
    quint16 port_ = 0;
};

} // namespace

} // namespace tamberlight

extern "C" __attribute__((visibility("default"))) tamberlight::PageServer*
tamberlight_make_page_server(const tamberlight::PageServerOptions* options, std::string* told) {
    using namespace tamberlight;
    auto server = std::make_unique<Server>(*options);
    const bool ipv6 = options->address.find(':') != std::string::npos;
    const std::string where = ipv6 ? "[" + options->address + "]" : options->address;
    if (const QString why = server->listen(*options); !why.isEmpty()) {
        *told = "cannot serve the clock's page on " + where + ":" + std::to_string(options->port) +
                ": " + why.toStdString();
        return nullptr;
    }
    const QHostAddress address(QString::fromStdString(options->address));
    *told = "the clock's page is served at http://" + where + ":" + std::to_string(server->port()) +
            "/" + (options->token.empty() ? "" : "?token=<the token>") +
            (address.isLoopback() ? " (to this computer only)"
                                  : " to every computer that reaches this address");
    return server.release();
}
