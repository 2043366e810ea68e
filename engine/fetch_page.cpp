#include "engine/fetch_page.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "engine/code_page.h"
#include "engine/curl_global.h"

namespace cuijian {
namespace {

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
// Field capacities of a URL's parts; a longer part makes the URL unusable.
constexpr std::size_t kMaxHostLength = 256;
constexpr std::size_t kMaxPathQueryLength = 2048;
constexpr std::size_t kMaxCredentialLength = 128;
// Body buffer sizing by the announced length, as the read chunk of the original design.
constexpr std::size_t kUnknownLengthReserve = 10240;
constexpr std::size_t kMaxReserve = 102400;
// A large body is gathered in blocks of at most this size, so that growing it never holds the
// old and the new copy of everything received at once.
constexpr std::size_t kMaxBlock = std::size_t{1} << 20;
// Content-Length text of this many characters or more counts as missing.
constexpr std::size_t kLengthFieldCapacity = 32;
constexpr long kMaxRedirects = 10;

struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct HeaderListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

struct CurlStringDeleter {
  void operator()(char* text) const { curl_free(text); }
};
using CurlString = std::unique_ptr<char, CurlStringDeleter>;

/// The URL as the client gets it: code page 936 bytes become UTF-8, and those bytes and blanks
/// are percent-encoded, as browsers send them.
std::string EncodeForClient(const Text& url) {
  const bool plain = std::none_of(url.begin(), url.end(), [](char c) {
    return static_cast<unsigned char>(c) >= 0x80 || c == ' ';
  });
  if (plain) return url;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : Cp936ToUtf8(url)) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80 || b == ' ') {
      encoded += '%';
      encoded += kHex[b >> 4];
      encoded += kHex[b & 0x0F];
    } else {
      encoded += c;
    }
  }
  return encoded;
}

/// Length of one part of `url`; 0 when the URL has no such part.
std::size_t PartLength(CURLU* url, CURLUPart part) {
  char* text = nullptr;
  if (curl_url_get(url, part, &text, 0) != CURLUE_OK || text == nullptr) return 0;
  const CurlString owned(text);
  return std::string_view(text).size();
}

bool SchemeIsHttp(CURLU* url) {
  char* text = nullptr;
  if (curl_url_get(url, CURLUPART_SCHEME, &text, 0) != CURLUE_OK || text == nullptr) return false;
  const CurlString owned(text);
  std::string scheme(text);
  std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return scheme == "http" || scheme == "https";
}

/// The URL split into its parts; null when it cannot be split, has a scheme other than http or
/// https, or a part beyond its field capacity.
UrlHandle SplitUrl(const Text& url) {
  UrlHandle parts(curl_url());
  if (!parts) return nullptr;
  const std::string encoded = EncodeForClient(url);
  // No default scheme is guessed: a URL without one is unusable.
  if (curl_url_set(parts.get(), CURLUPART_URL, encoded.c_str(), 0) != CURLUE_OK) return nullptr;
  if (!SchemeIsHttp(parts.get())) return nullptr;
  const std::size_t query = PartLength(parts.get(), CURLUPART_QUERY);
  const std::size_t path_query = PartLength(parts.get(), CURLUPART_PATH) + (query ? query + 1 : 0);
  if (PartLength(parts.get(), CURLUPART_HOST) > kMaxHostLength ||
      path_query > kMaxPathQueryLength ||
      PartLength(parts.get(), CURLUPART_USER) > kMaxCredentialLength ||
      PartLength(parts.get(), CURLUPART_PASSWORD) > kMaxCredentialLength) {
    return nullptr;
  }
  return parts;
}

/// The number that a Content-Length value holds: leading blanks and one sign allowed, digits up
/// to the first other character, 0 without digits.
long long ReadLength(std::string_view value) {
  std::size_t i = 0;
  while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
  long long n = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    n = std::min<long long>(n * 10 + (value[i] - '0'), 1'000'000'000'000LL);
  }
  return negative ? -n : n;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

/// What one transfer gathers; filled by the client's callbacks on the fetching thread.
struct Transfer {
  std::size_t max_body_bytes = 0;
  // The body as received, in blocks filled one after another; `received` bytes in all.
  std::vector<Bytes> blocks;
  std::size_t received = 0;
  // Of the response being read: its status, whether it names a Location, its announced length.
  long status = 0;
  bool location = false;
  long long announced = -1;
  // A response whose body belongs to the page arrived (not a redirect that the client follows).
  bool page_response = false;
  bool too_large = false;
  // The server said it keeps the connection open, so the body ends at the announced length.
  bool keep_alive = false;
  bool ended_at_length = false;
};

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  const std::string_view line(data, n);
  if (StartsWithNoCase(line, "http/")) {
    // A new response begins (the first, or the next after a redirect).
    const std::size_t blank = line.find(' ');
    t.status = blank == std::string_view::npos ? 0 : ReadLength(line.substr(blank + 1));
    t.location = false;
    t.announced = -1;
    t.page_response = true;
    t.keep_alive = false;
  } else if (StartsWithNoCase(line, "content-length:")) {
    std::string_view value = line.substr(15);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.remove_suffix(1);
    t.announced = value.size() >= kLengthFieldCapacity ? -1 : ReadLength(value);
  } else if (StartsWithNoCase(line, "location:")) {
    t.location = true;
  } else if (StartsWithNoCase(line, "connection:") || StartsWithNoCase(line, "proxy-connection:")) {
    const std::string_view value = line.substr(line.find(':') + 1);
    for (std::size_t i = 0; i + 10 <= value.size(); ++i) {
      if (StartsWithNoCase(value.substr(i), "keep-alive")) t.keep_alive = true;
    }
  } else if (line == "\r\n" || line == "\n") {
    // The client follows every redirect that names a target; its body is not the page.
    if (t.status >= 300 && t.status < 400 && t.location) t.page_response = false;
    // An empty body on a connection kept open: nothing more will come.
    if (t.page_response && t.keep_alive && t.announced == 0) {
      t.ended_at_length = true;
      return 0;  // ends the transfer
    }
  }
  return n;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  if (n > t.max_body_bytes - t.received) {
    t.too_large = true;
    return 0;  // aborts the transfer
  }
  try {
    for (std::size_t taken = 0; taken < n;) {
      if (t.blocks.empty() || t.blocks.back().size() == t.blocks.back().capacity()) {
        // The first block is sized by the announced length; later ones double up to kMaxBlock.
        const std::size_t first =
            t.announced > 0 ? std::min(static_cast<std::size_t>(t.announced) + 1, kMaxReserve)
                            : kUnknownLengthReserve;
        const std::size_t size =
            t.blocks.empty() ? first : std::min(t.blocks.back().capacity() * 2, kMaxBlock);
        t.blocks.emplace_back().reserve(std::min(size, t.max_body_bytes));
      }
      Bytes& block = t.blocks.back();
      const std::size_t part = std::min(n - taken, block.capacity() - block.size());
      block.insert(block.end(), data + taken, data + taken + part);
      taken += part;
    }
    t.received += n;
    // Reading to the end of a connection that the server keeps open would only end by the stall
    // time-out: such a body ends once the announced length has arrived.
    if (t.keep_alive && t.announced > 0 &&
        t.received >= static_cast<unsigned long long>(t.announced)) {
      t.ended_at_length = true;
      return 0;  // ends the transfer; the body is whole
    }
  } catch (const std::bad_alloc&) {
    // No exception may cross the C library; a body that memory cannot hold is treated as too
    // large.
    t.too_large = true;
    return 0;
  }
  return n;
}

/// The gathered blocks as one buffer; each block is freed as soon as it has been copied.
Bytes JoinBlocks(std::vector<Bytes>& blocks, std::size_t total) {
  if (blocks.size() == 1) return std::move(blocks.front());
  Bytes body;
  body.reserve(total);
  for (Bytes& block : blocks) {
    body.insert(body.end(), block.begin(), block.end());
    Bytes().swap(block);
  }
  return body;
}

/// Sets the fixed request and the limits on `easy`; false when the client refuses an option.
bool Configure(CURL* easy, CURLU* url, curl_slist* headers, Transfer* transfer,
               const FetchLimits& limits) {
  // Zero would mean "no limit" to the client; a dead fetch must always end.
  const long connect_ms = std::max<long>(1, static_cast<long>(limits.connect_timeout.count()));
  const long stall_s = std::max<long>(1, static_cast<long>(limits.stall_time.count()));
  bool ok = true;
  const auto set = [&](CURLoption option, auto value) {
    ok = ok && curl_easy_setopt(easy, option, value) == CURLE_OK;
  };
  set(CURLOPT_CURLU, url);
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
  set(CURLOPT_HTTPGET, 1L);
  set(CURLOPT_USERAGENT, kUserAgent);
  set(CURLOPT_HTTPHEADER, headers);
  set(CURLOPT_FOLLOWLOCATION, 1L);
  set(CURLOPT_MAXREDIRS, kMaxRedirects);
  // The whole body is read to the end of the connection, whatever length was announced.
  set(CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
  // Signals cannot serve time-outs in a program with several fetching threads.
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_CONNECTTIMEOUT_MS, connect_ms);
  set(CURLOPT_LOW_SPEED_LIMIT, 1L);
  set(CURLOPT_LOW_SPEED_TIME, stall_s);
  set(CURLOPT_HEADERFUNCTION, &OnHeader);
  set(CURLOPT_HEADERDATA, static_cast<void*>(transfer));
  set(CURLOPT_WRITEFUNCTION, &OnBody);
  set(CURLOPT_WRITEDATA, static_cast<void*>(transfer));
  return ok;
}

/// The request's own header lines: exactly one Accept, and none of the client's Expect, Pragma or
/// Proxy-Connection (a proxy asked to keep the connection open would not end the body by closing).
HeaderList MakeHeaders() {
  HeaderList list;
  for (const char* line : {"Accept: */*", "Expect:", "Pragma:", "Proxy-Connection:"}) {
    curl_slist* longer = curl_slist_append(list.get(), line);
    if (longer == nullptr) return nullptr;
    static_cast<void>(list.release());
    list.reset(longer);
  }
  return list;
}

}  // namespace

FetchedPage FetchPageWithOutcome(const Text& url, const FetchLimits& limits) {
  if (url.empty()) return {};
  const UrlHandle parts = SplitUrl(url);
  if (!parts) return {};
  const CurlUse use;
  if (!use.ready()) return {};
  const EasyHandle easy(curl_easy_init());
  const HeaderList headers = MakeHeaders();
  Transfer transfer;
  transfer.max_body_bytes = limits.max_body_bytes;
  if (!easy || !headers || !Configure(easy.get(), parts.get(), headers.get(), &transfer, limits)) {
    return {};
  }
  const CURLcode result = curl_easy_perform(easy.get());
  if (transfer.too_large) return {FetchOutcome::kTooLarge, {}};
  Bytes body;
  try {
    body = JoinBlocks(transfer.blocks, transfer.received);
  } catch (const std::bad_alloc&) {
    return {FetchOutcome::kTooLarge, {}};
  }
  if (transfer.ended_at_length) return {FetchOutcome::kComplete, std::move(body)};
  // A redirect chain that goes on past the limit reached no page.
  if (result == CURLE_TOO_MANY_REDIRECTS) return {FetchOutcome::kNoResponse, {}};
  if (!transfer.page_response && body.empty()) return {FetchOutcome::kNoResponse, {}};
  // The client reads to the end of the connection, so a shorter body than announced means the
  // connection ended early.
  const bool short_of_announced =
      transfer.announced > 0 && body.size() < static_cast<unsigned long long>(transfer.announced);
  const FetchOutcome outcome = result == CURLE_OK && !short_of_announced ? FetchOutcome::kComplete
                                                                         : FetchOutcome::kBrokenOff;
  return {outcome, std::move(body)};
}

Bytes FetchPage(const Text& url) { return FetchPageWithOutcome(url).body; }

}  // namespace cuijian
