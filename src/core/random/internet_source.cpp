#include "core/random/internet_source.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace voxloom {
namespace {

void replaceAllNoCase(std::string& text, std::string_view key, const std::string& value) {
  auto lower = [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  };
  std::size_t from = 0;
  while (from + key.size() <= text.size()) {
    bool match = true;
    for (std::size_t i = 0; i < key.size() && match; ++i) match = lower(text[from + i]) == key[i];
    if (match) {
      text.replace(from, key.size(), value);
      from += value.size();  // a value never re-forms a placeholder
    } else {
      ++from;
    }
  }
}

bool blank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::optional<std::int32_t> lineNumber(std::string_view line) {
  while (!line.empty() && blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && blank(line.back())) line.remove_suffix(1);
  if (!line.empty() && line.front() == '+') line.remove_prefix(1);  // from_chars takes '-' only
  if (line.empty() || line.front() == '+') return std::nullopt;
  std::int32_t value = 0;
  const auto result = std::from_chars(line.data(), line.data() + line.size(), value, 10);
  if (result.ec != std::errc() || result.ptr != line.data() + line.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string expandServiceUrl(const std::string& templ, std::int32_t n) {
  std::string url = templ;
  replaceAllNoCase(url, "%num%", std::to_string(RandomBatch::kValues32));
  replaceAllNoCase(url, "%min%", "0");
  replaceAllNoCase(url, "%max%", std::to_string(n - 1));
  return url;
}

int parseServiceReply(std::string_view text, RandomBatch& batch) {
  int count = 0;
  while (!text.empty() && count < RandomBatch::kValues32) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (std::all_of(line.begin(), line.end(), blank)) continue;  // "\n\n", "\r\n\r\n"
    const auto value = lineNumber(line);
    if (!value) break;
    batch.values32[static_cast<std::size_t>(count++)] = *value;
  }
  return count;
}

std::string fetchFailedText(const std::string& error) {
  return "Failed to retrieve random numbers from the Internet: " + error;
}

bool fetchFromService(const std::string& serviceUrl, std::int32_t n, RandomBatch& batch,
                      ServiceFetch& fetch) {
  const std::string url = expandServiceUrl(serviceUrl, n);
  HttpReply reply;
  if (fetch.http == nullptr) {
    reply.error = "no HTTP client";
  } else {
    if (fetch.showFetching) fetch.showFetching(true);
    {
      BusyGuard busy(fetch.prompter);
      reply = fetch.http->get(url, kServiceReplyLimit);
    }
    if (fetch.showFetching) fetch.showFetching(false);
  }
  if (reply.error.empty() && (reply.status < 200 || reply.status > 299)) {
    reply.error = "HTTP " + std::to_string(reply.status);
    if (!reply.reason.empty()) reply.error += " " + reply.reason;
  }
  if (!reply.error.empty()) {
    fetch.stop.stopRequested = true;
    fetch.prompter.error(fetchFailedText(reply.error));
    return false;
  }
  std::string_view body = reply.body;
  // A cut body ends inside a line, perhaps inside a number: only whole lines count.
  if (reply.truncated) body = body.substr(0, body.rfind('\n') + 1);
  batch.count = parseServiceReply(body, batch);
  batch.index = 0;
  if (batch.count == 0) {
    fetch.stop.stopRequested = true;
    fetch.prompter.error(kNoServiceNumbersText);
    return false;
  }
  return true;
}

std::optional<std::int32_t> nextServiceValue(const std::string& serviceUrl, std::int32_t n,
                                             RandomBatch& batch, ServiceFetch& fetch) {
  if (batch.index >= batch.count && !fetchFromService(serviceUrl, n, batch, fetch))
    return std::nullopt;
  return batch.values32[static_cast<std::size_t>(batch.index++)];
}

}  // namespace voxloom
