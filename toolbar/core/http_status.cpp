#include "toolbar/core/http_status.h"

namespace {

struct StatusText {
  int code;
  const wchar_t* text;
};

// The odd spelling of 101 is what users of earlier versions saw; kept as it is.
constexpr StatusText kTexts[] = {
    {100, L"客户方错误-继续 [Continue]"},
    {101, L"客户方错误-交换协议 [witching Protocols]"},
    {400, L"错误请求 [Bad Request]"},
    {401, L"网页需要验证信息 [Unauthorized]"},
    {402, L"网页需要付费 [Payment Required]"},
    {403, L"禁止访问 [Forbidden]"},
    {404, L"没有找到网页 [Not Found]"},
    {405, L"不允许Http访问该文件 [Method Not Allowed]"},
    {406, L"该文件不允许访问 [Not Acceptable]"},
    {407, L"该文件需要代理认证 [Proxy Authentication Required]"},
    {408, L"对该文件请求超时 [Request Time-out]"},
    {409, L"对该文件访问冲突 [Conflict]"},
    {410, L"对该文件访问失败 [Gone]"},
    {411, L"该文件需要长度信息 [Length Required]"},
    {412, L"请求条件失败 [Precondition Failed]"},
    {413, L"请求文件实体太大 [Request Entity Too Large]"},
    {414, L"请求的URI太长 [Request-URI Too Large]"},
    {415, L"不支持媒体类型 [Unsupported Media Type]"},
    {416, L"队列请求失败 [Requested range not satisfiable]"},
    {417, L"预期失败 [Expectation Failed]"},
    {500, L"服务器内部错误 [Internal Server Error]"},
    {501, L"未实现请求 [Not Implemented]"},
    {502, L"网关失败 [Bad Gateway]"},
    {503, L"没有找到服务器 [Service Unavailable]"},
    {504, L"网关超时 [Gateway Time-out]"},
    {505, L"服务器不支持系统使用的HTTP版本 [HTTP Version not supported]"},
};

}  // namespace

const wchar_t* HttpStatusText(int code) {
  for (const StatusText& t : kTexts)
    if (t.code == code) return t.text;
  return nullptr;
}
