#include "platform/http/qt_http_client.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkProxy>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace voxloom {

namespace {

constexpr int kMaxRedirects = 10;
// Status line and header fields of one reply, and the trailer of a chunked one. Real
// servers send a few hundred bytes; beyond this the reply is refused, not buffered.
constexpr qsizetype kMaxHeaderBytes = 64 * 1024;
constexpr qsizetype kMaxChunkLine = 1024;  // a hexadecimal size and its extensions
// What Qt may hold unread for us: the socket stops reading from the system beyond it.
constexpr qint64 kSocketBufferBytes = 64 * 1024;

void ensureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "voxloom-cli";
  static char* argv[] = {name, nullptr};
  static QCoreApplication application(argc, argv);
}

std::string timeText(std::chrono::milliseconds timeout) {
  const auto ms = timeout.count();
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

std::optional<std::uint64_t> number(QByteArrayView text, int base) {
  text = text.trimmed();
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value, base);
  if (text.isEmpty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
  return value;
}

// One HTTP/1.1 response, fed the bytes of the connection as they come. The body is kept
// up to the caller's limit; everything else (header, framing) is bounded too, so memory
// stays small whatever the server sends.
class ReplyParser {
 public:
  enum class State { Status, Headers, Body, ChunkSize, ChunkData, ChunkEnd, Trailer, Done, Failed };

  explicit ReplyParser(std::size_t maxBody) : maxBody_(maxBody) {}

  void feed(QByteArrayView bytes) {
    pending_.append(bytes);
    while (state_ != State::Done && state_ != State::Failed && step()) {
    }
  }
  // The connection ended: only a body that runs to the close is complete then.
  void finish() {
    if (state_ == State::Body && !remaining_) {
      state_ = State::Done;
    } else if (state_ != State::Done && state_ != State::Failed) {
      fail(state_ == State::Body
               ? "The reply ended early (" + std::to_string(body.size()) + " of " +
                     std::to_string(body.size() + *remaining_) + " bytes)"
           : state_ == State::Status && pending_.isEmpty()
               ? std::string("The server closed the connection without a reply")
               : std::string("The reply ended early"));
    }
  }
  bool ended() const { return state_ == State::Done || state_ == State::Failed; }
  bool failed() const { return state_ == State::Failed; }
  bool isRedirect() const {
    const bool redirectStatus = (status >= 301 && status <= 303) || status == 307 || status == 308;
    return redirectStatus && !location.isEmpty();
  }

  std::string error;
  int status = 0;
  std::string reason;
  QByteArray location;
  std::string body;
  bool truncated = false;

 private:
  void fail(std::string text) {
    error = std::move(text);
    state_ = State::Failed;
    pending_.clear();
  }

  // The next line without its CR LF, or nothing while it is incomplete.
  std::optional<QByteArray> line(qsizetype limit, const char* tooLong) {
    const qsizetype end = pending_.indexOf('\n');
    if (end < 0) {
      if (pending_.size() > limit) fail(tooLong);
      return std::nullopt;
    }
    if (end > limit) {
      fail(tooLong);
      return std::nullopt;
    }
    QByteArray text = pending_.left(end);
    pending_.remove(0, end + 1);
    if (text.endsWith('\r')) text.chop(1);
    headerBytes_ += end + 1;
    return text;
  }

  bool step() {
    switch (state_) {
      case State::Status:
        return statusLine();
      case State::Headers:
      case State::Trailer:
        return headerLine();
      case State::Body:
        return bodyBytes();
      case State::ChunkSize:
        return chunkSize();
      case State::ChunkData:
        return bodyBytes();
      case State::ChunkEnd: {
        const auto text = line(2, "Malformed chunked reply");
        if (!text) return false;
        if (!text->isEmpty()) {
          fail("Malformed chunked reply");
          return false;
        }
        state_ = State::ChunkSize;
        return true;
      }
      default:
        return false;
    }
  }

  bool statusLine() {
    const auto text = line(kMaxHeaderBytes, "The reply's header is larger than 64 KiB");
    if (!text) return false;
    // "HTTP/1.1 200 OK"
    const QList<QByteArray> parts = text->split(' ');
    const std::uint64_t code = parts.size() >= 2 ? number(parts[1], 10).value_or(0) : 0;
    if (!text->startsWith("HTTP/1.") || code < 100 || code > 999) {
      fail("Not an HTTP reply");
      return false;
    }
    status = static_cast<int>(code);
    const qsizetype reasonStart = text->indexOf(' ', text->indexOf(' ') + 1);
    if (reasonStart > 0) reason = text->mid(reasonStart + 1).toStdString();
    state_ = State::Headers;
    return true;
  }

  bool headerLine() {
    const auto text =
        line(kMaxHeaderBytes - headerBytes_, "The reply's header is larger than 64 KiB");
    if (!text) return false;
    if (!text->isEmpty()) {
      if (state_ == State::Headers) field(*text);
      return !failed();
    }
    if (state_ == State::Trailer) {
      state_ = State::Done;
    } else if (status < 200) {  // "100 Continue" and the like: the real reply follows
      *this = ReplyParser(maxBody_, std::move(pending_));
    } else {
      startBody();
    }
    return true;
  }

  ReplyParser(std::size_t maxBody, QByteArray pending)
      : maxBody_(maxBody), pending_(std::move(pending)) {}

  void field(const QByteArray& text) {
    const qsizetype colon = text.indexOf(':');
    if (colon <= 0) return;  // a folded or broken line carries nothing we use
    const QByteArray name = text.left(colon).trimmed().toLower();
    const QByteArray value = text.mid(colon + 1).trimmed();
    if (name == "content-length") {
      const auto length = number(value, 10);
      if (!length || (remaining_ && *remaining_ != *length)) fail("Invalid Content-Length");
      remaining_ = length;
    } else if (name == "transfer-encoding") {
      if (value.toLower() != "chunked")
        fail("Unsupported transfer encoding: " + value.toStdString());
      chunked_ = true;
    } else if (name == "content-encoding") {
      if (!value.isEmpty() && value.toLower() != "identity")
        fail("The reply is compressed (" + value.toStdString() +
             "); only an uncompressed reply is read");
    } else if (name == "location") {
      location = value;
    }
  }

  void startBody() {
    if (status == 204 || status == 304 || isRedirect()) {
      state_ = State::Done;  // a redirect's own body is of no use
    } else if (chunked_) {
      remaining_.reset();
      state_ = State::ChunkSize;
    } else {
      state_ = State::Body;
      if (remaining_ == 0u) state_ = State::Done;
    }
  }

  bool chunkSize() {
    const auto text = line(kMaxChunkLine, "Malformed chunked reply");
    if (!text) return false;
    const qsizetype extension = text->indexOf(';');
    const auto size = number(extension < 0 ? *text : text->first(extension), 16);
    if (!size) {
      fail("Malformed chunked reply");
      return false;
    }
    remaining_ = size;
    state_ = *size == 0 ? State::Trailer : State::ChunkData;
    if (*size == 0) headerBytes_ = 0;  // the trailer has the header's allowance
    return true;
  }

  bool bodyBytes() {
    if (pending_.isEmpty()) return false;
    qsizetype take = pending_.size();
    if (remaining_) take = static_cast<qsizetype>(std::min<std::uint64_t>(*remaining_, take));
    const std::size_t room = maxBody_ - body.size();
    if (room == 0) {  // more body than the caller takes: stop reading here
      truncated = true;
      state_ = State::Done;
      return false;
    }
    take = static_cast<qsizetype>(std::min<std::size_t>(room, static_cast<std::size_t>(take)));
    body.append(pending_.constData(), static_cast<std::size_t>(take));
    pending_.remove(0, take);
    if (remaining_) *remaining_ -= static_cast<std::uint64_t>(take);
    if (remaining_ == 0u) {
      state_ = state_ == State::ChunkData ? State::ChunkEnd : State::Done;
    } else if (body.size() == maxBody_ && (remaining_ || !pending_.isEmpty())) {
      truncated = true;  // a known rest, or bytes beyond the limit already here
      state_ = State::Done;
    }
    return true;
  }

  std::size_t maxBody_;
  QByteArray pending_;
  State state_ = State::Status;
  qsizetype headerBytes_ = 0;
  std::optional<std::uint64_t> remaining_;  // of the body or of the current chunk
  bool chunked_ = false;
};

class QtHttpClient : public HttpClient {
 public:
  explicit QtHttpClient(std::chrono::milliseconds timeout) : timeout_(timeout) {}

  HttpReply get(const std::string& url, std::size_t maxBodyBytes) override;

 private:
  enum class Wait { Ended, TimedOut, Interrupted };
  // One GET on a connection of its own, closed when it returns. Interrupted: the
  // program is quitting (its event loops end at once).
  Wait fetch(const QUrl& url, const QDeadlineTimer& deadline, ReplyParser& parser);

  std::chrono::milliseconds timeout_;
};

QtHttpClient::Wait QtHttpClient::fetch(const QUrl& url, const QDeadlineTimer& deadline,
                                       ReplyParser& parser) {
  const bool https = url.scheme().toLower() == "https";
  if (https && !QSslSocket::supportsSsl()) {
    parser.error = "https is not available: no TLS library was found";
    return Wait::Ended;
  }
  std::unique_ptr<QTcpSocket> socket =
      https ? std::make_unique<QSslSocket>() : std::make_unique<QTcpSocket>();
  socket->setProxy(QNetworkProxy::NoProxy);
  socket->setReadBufferSize(kSocketBufferBytes);

  QByteArray target =
      url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
  if (!target.startsWith('/')) target.prepend('/');
  QByteArray host = url.host(QUrl::FullyEncoded).toUtf8();
  if (host.contains(':')) host = '[' + host + ']';
  if (url.port() != -1) host += ':' + QByteArray::number(url.port());
  const QByteArray request = "GET " + target + " HTTP/1.1\r\nHost: " + host +
                             "\r\nUser-Agent: Mozilla/3.0 (compatible; Voxloom " VOXLOOM_VERSION
                             ")"
                             "\r\nAccept: text/html, */*\r\nAccept-Encoding: identity"
                             "\r\nConnection: close\r\n\r\n";

  QEventLoop loop;
  bool ended = false;
  auto end = [&] {
    ended = true;
    loop.quit();
  };
  auto take = [&] {
    while (!parser.ended() && socket->bytesAvailable() > 0) parser.feed(socket->read(16384));
    if (parser.ended()) end();
  };
  auto send = [&] { socket->write(request); };
  QObject::connect(socket.get(), &QTcpSocket::readyRead, &loop, take);
  // A close ends a body that runs to it; any other error of the connection is the answer.
  auto closed = [&] {
    take();
    if (parser.ended()) return end();
    const auto error = socket->error();
    if (error == QAbstractSocket::RemoteHostClosedError ||
        error == QAbstractSocket::UnknownSocketError)
      parser.finish();
    else
      parser.error = socket->errorString().toStdString();
    end();
  };
  QObject::connect(socket.get(), &QTcpSocket::disconnected, &loop, closed);
  QObject::connect(socket.get(), &QAbstractSocket::errorOccurred, &loop, closed);
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  bool timedOut = false;
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
    timedOut = true;
    loop.quit();
  });
  timer.start(std::chrono::milliseconds(deadline.remainingTime()));

  const quint16 port = static_cast<quint16>(url.port(https ? 443 : 80));
  if (https) {
    auto* ssl = static_cast<QSslSocket*>(socket.get());
    QObject::connect(ssl, &QSslSocket::encrypted, &loop, send);
    ssl->connectToHostEncrypted(url.host(), port);
  } else {
    QObject::connect(socket.get(), &QTcpSocket::connected, &loop, send);
    socket->connectToHost(url.host(), port);
  }
  // A program that is quitting returns from exec() at once: the wait ends with it.
  if (!ended) loop.exec(QEventLoop::ExcludeUserInputEvents);
  timer.stop();
  socket->disconnect();
  socket->abort();  // no lingering connection, whatever the state
  if (ended) return Wait::Ended;
  return timedOut || deadline.hasExpired() ? Wait::TimedOut : Wait::Interrupted;
}

HttpReply QtHttpClient::get(const std::string& text, std::size_t maxBodyBytes) {
  HttpReply result;
  ensureApplication();
  QUrl url(QString::fromStdString(text), QUrl::TolerantMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty()) {
    result.error = "Not an http or https URL: " + text;
    return result;
  }
  // The limit holds for the request as a whole, redirects included.
  const QDeadlineTimer deadline(timeout_, Qt::PreciseTimer);
  for (int redirects = 0;; ++redirects) {
    // Each hop's buffers go with it: a chain of redirects holds one reply at a time.
    ReplyParser parser(maxBodyBytes);
    const Wait wait = fetch(url, deadline, parser);
    if (wait != Wait::Ended) {
      result.error = wait == Wait::TimedOut ? "No answer within " + timeText(timeout_)
                                            : std::string("Interrupted");
      return result;
    }
    if (!parser.error.empty()) {
      result.error = parser.error;
      return result;
    }
    if (parser.isRedirect()) {
      const QUrl target = url.resolved(QUrl::fromEncoded(parser.location));
      if (target.scheme().toLower() != scheme) {
        result.error = "Redirect to another scheme refused: " + target.toString().toStdString();
        return result;
      }
      if (redirects == kMaxRedirects) {
        result.error = "Too many redirects (more than " + std::to_string(kMaxRedirects) + ")";
        return result;
      }
      url = target;
      continue;
    }
    result.status = parser.status;
    result.reason = parser.reason;
    result.body = std::move(parser.body);
    result.truncated = parser.truncated;
    return result;
  }
}

}  // namespace

std::unique_ptr<HttpClient> makeQtHttpClient(std::chrono::milliseconds timeout) {
  return std::make_unique<QtHttpClient>(timeout);
}

}  // namespace voxloom
