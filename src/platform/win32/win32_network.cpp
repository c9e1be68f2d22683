#include "platform/win32/win32_network.h"

#include <windows.h>

#include <winhttp.h>

#include <memory>

#include "platform/win32/wide.h"
#include "temvik_version.h"

namespace temvik {

namespace {

using Clock = std::chrono::steady_clock;

struct InternetCloser {
  void operator()(HINTERNET h) const { WinHttpCloseHandle(h); }
};
using Handle = std::unique_ptr<void, InternetCloser>;

// The milliseconds left until `deadline`, as WinHTTP takes a timeout (0
// would mean none at all, so at least 1).
int msUntil(Clock::time_point deadline) {
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return ms <= 0 ? 1 : ms > 0x7fffffff ? 0x7fffffff : static_cast<int>(ms);
}

NetworkFailure failureOf(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
      return NetworkFailure::BadAddress;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return NetworkFailure::NameNotFound;
    case ERROR_WINHTTP_TIMEOUT:
      return NetworkFailure::TimedOut;
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      return NetworkFailure::Interrupted;
    default:
      return NetworkFailure::NoConnection;
  }
}

NetworkAnswer lastFailure() { return {failureOf(GetLastError())}; }

}  // namespace

NetworkAnswer Win32Network::get(const std::string& address, std::chrono::milliseconds timeout,
                                std::size_t limit) {
  const Clock::time_point deadline = Clock::now() + timeout;
  const std::wstring url = toUtf16(address);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts) ||
      (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
    return {NetworkFailure::BadAddress};
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  const Handle session(WinHttpOpen(L"Temvik/" TEMVIK_VERSION_W, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                   WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return lastFailure();
  // Every stage may take what is left of the timeout; the loop below checks
  // the deadline between the parts of the body, so a server that trickles
  // bytes cannot stretch the read.
  const int ms = msUntil(deadline);
  WinHttpSetTimeouts(session.get(), ms, ms, ms, ms);
  const Handle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) return lastFailure();
  const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
  const Handle request(WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                          WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (!request) return lastFailure();
  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr))
    return lastFailure();
  DWORD status = 0;
  DWORD size = sizeof(status);
  if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
    return {NetworkFailure::Interrupted};
  if (status != 200) return {NetworkFailure::Status, static_cast<int>(status)};
  // The announced length, when there is one, refuses a long body at once
  // and tells a body cut short from a whole one.
  DWORD length = 0;
  size = sizeof(length);
  const bool announced =
      WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &length, &size, WINHTTP_NO_HEADER_INDEX);
  if (announced && length > limit) return {NetworkFailure::TooLarge, 200};
  std::string body;
  for (;;) {
    if (Clock::now() >= deadline) return {NetworkFailure::TimedOut, 200};
    DWORD receiveMs = static_cast<DWORD>(msUntil(deadline));
    WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, &receiveMs, sizeof(receiveMs));
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request.get(), &available)) return lastFailure();
    if (available == 0) break;
    if (available > limit - body.size()) return {NetworkFailure::TooLarge, 200};
    const std::size_t at = body.size();
    body.resize(at + available);
    DWORD read = 0;
    if (!WinHttpReadData(request.get(), body.data() + at, available, &read)) return lastFailure();
    body.resize(at + read);
  }
  if (announced && body.size() < length) return {NetworkFailure::Interrupted, 200};
  return {std::nullopt, 200, std::move(body)};
}

}  // namespace temvik
