#include "platform/http/qt_http_client.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace voxloom {

namespace {

constexpr int kMaxRedirects = 10;

void ensureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "voxloom-cli";
  static char* argv[] = {name, nullptr};
  static QCoreApplication application(argc, argv);
}

class QtHttpClient : public HttpClient {
 public:
  explicit QtHttpClient(std::chrono::milliseconds timeout) : timeout_(timeout) {}

  HttpReply get(const std::string& url, std::size_t maxBodyBytes) override;

 private:
  std::chrono::milliseconds timeout_;
  std::unique_ptr<QNetworkAccessManager> manager_;
};

HttpReply QtHttpClient::get(const std::string& text, std::size_t maxBodyBytes) {
  HttpReply result;
  ensureApplication();
  if (!manager_) {
    manager_ = std::make_unique<QNetworkAccessManager>();
    manager_->setProxy(QNetworkProxy::NoProxy);
  }
  const QUrl url(QString::fromStdString(text), QUrl::TolerantMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty()) {
    result.error = "Not an http or https URL: " + text;
    return result;
  }

  QNetworkRequest request(url);
  request.setRawHeader("Accept", "text/html, */*");
  request.setHeader(QNetworkRequest::UserAgentHeader, "Mozilla/3.0 (compatible; Voxloom 2.5)");
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::UserVerifiedRedirectPolicy);
  request.setMaximumRedirectsAllowed(kMaxRedirects);

  QNetworkReply* reply = manager_->get(request);
  // Qt keeps no more than this buffered for us, whatever the server sends.
  reply->setReadBufferSize(static_cast<qint64>(maxBodyBytes) + 1);
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  bool timedOut = false;
  bool refused = false;
  QString refusedTarget;

  auto take = [&] {
    const std::size_t room = maxBodyBytes - result.body.size();
    const QByteArray bytes = reply->read(static_cast<qint64>(room));
    result.body.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (result.body.size() >= maxBodyBytes && reply->bytesAvailable() > 0) {
      result.truncated = true;
      reply->abort();
    }
  };
  QObject::connect(reply, &QNetworkReply::redirected, reply, [&](const QUrl& target) {
    if (target.scheme().toLower() != scheme) {
      refused = true;
      refusedTarget = target.toString();
      reply->abort();
      return;
    }
    emit reply->redirectAllowed();
  });
  QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
    if (!result.truncated) take();
  });
  QObject::connect(reply, &QNetworkReply::finished, &loop, [&] {
    if (!result.truncated && !refused && !timedOut) take();
    loop.quit();
  });
  QObject::connect(&timer, &QTimer::timeout, reply, [&] {
    timedOut = true;
    reply->abort();
  });
  timer.start(timeout_);
  if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  timer.stop();

  result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  result.reason =
      reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().toStdString();
  if (!refused && result.status >= 300 && result.status < 400) {
    // Qt hands back redirects it will not follow itself (to schemes it has no handler for).
    // Qt drops the target of a scheme it cannot fetch; the header still names it.
    const QUrl target = url.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
    refused = target.scheme().toLower() != scheme;
    refusedTarget = target.toString();
    if (!refused) result.error = "Redirect not followed: " + refusedTarget.toStdString();
  }
  if (timedOut) {
    const auto ms = timeout_.count();
    result.error = "No answer within " +
                   (ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms");
  } else if (refused) {
    result.error = "Redirect to another scheme refused: " + refusedTarget.toStdString();
  } else if (!result.truncated && reply->error() != QNetworkReply::NoError && result.status == 0) {
    result.error = reply->errorString().toStdString();
  }
  if (!result.error.empty()) result.body.clear();
  delete reply;  // the command-line tool runs no loop that would see a deleteLater
  return result;
}

}  // namespace

std::unique_ptr<HttpClient> makeQtHttpClient(std::chrono::milliseconds timeout) {
  return std::make_unique<QtHttpClient>(timeout);
}

}  // namespace voxloom
