#pragma once

#include <chrono>
#include <cstddef>

#include "text/text_types.h"

namespace cuijian {

/// How long a connection may take to be set up before the fetch gives up.
inline constexpr std::chrono::milliseconds kConnectTimeout{15'000};
/// A transfer slower than 1 byte/s for this long is a dead one and ends.
inline constexpr std::chrono::seconds kStallTime{30};
/// A body larger than this is not gathered further (memory guard).
inline constexpr std::size_t kMaxBodyBytes = std::size_t{64} << 20;

/// The bounds of one fetch; tests make them small.
struct FetchLimits {
  std::chrono::milliseconds connect_timeout = kConnectTimeout;
  std::chrono::seconds stall_time = kStallTime;
  std::size_t max_body_bytes = kMaxBodyBytes;
};

/// How a fetch ended.
enum class FetchOutcome {
  kNotSent,     ///< empty or unusable URL, unsupported scheme: nothing was sent
  kNoResponse,  ///< no response arrived: resolve, connect, TLS or time-out failure
  kComplete,    ///< the whole body of a response (any status) arrived
  kBrokenOff,   ///< the body broke off or stalled; the part received is the page
  kTooLarge,    ///< the body passed the memory guard; the page is empty
};

/// The body of a fetch and how the fetch ended.
struct FetchedPage {
  FetchOutcome outcome = FetchOutcome::kNotSent;
  Bytes body;
};

/// One HTTP/1.0 GET of `url` (http or https) with the program's fixed headers; the body of any
/// status, partial when it broke off; empty with the reason in `outcome` when nothing usable came.
/// Thread-safe.
FetchedPage FetchPageWithOutcome(const Text& url, const FetchLimits& limits = {});

/// The body of FetchPageWithOutcome(url); empty when nothing arrived.
Bytes FetchPage(const Text& url);

}  // namespace cuijian
