#include "core/grow_string.h"

#include <gtest/gtest.h>

#include <type_traits>

#include "core/client_str.h"
#include "core/cstr.h"
#include "core/custr.h"

namespace {

// The three strings share one implementation but stay separate types, each with its own
// operation set: the shared base is not reachable from outside.
static_assert(!std::is_convertible_v<CStr&, GrowString<CStr, char, ServerStringPolicy>&>);
static_assert(
    !std::is_convertible_v<CClientStr&, GrowString<CClientStr, char, ClientStringPolicy>&>);
static_assert(!std::is_convertible_v<CStr, CClientStr> && !std::is_convertible_v<CClientStr, CStr>);
static_assert(!std::is_convertible_v<char, CStr> && std::is_convertible_v<const char*, CStr>);

// The server strings' operations that the client string does not have.
template <class S>
constexpr bool kToInt = requires(const S& c) {
    c.ToInt();
};
template <class S>
constexpr bool kMid = requires(const S& c) {
    c.Mid(0, 1);
};
template <class S>
constexpr bool kOrders = requires(const S& c) {
    c < c;
};
template <class S>
constexpr bool kGrowStep = requires(const S& c) {
    c.GetGrowStep();
};
template <class S>
constexpr bool kAssignLeft = requires(S& s) {
    s.AssignLeft(s.CText(), 1);
};
template <class S>
constexpr bool kIsEmpty = requires(const S& c) {
    c.IsEmpty();
};
template <class S>
constexpr bool kSearches = requires(const S& c) {
    c.IsNumeric() || c.Contains(c.CText()[0]);
};
template <class S>
constexpr bool kTokenizes = requires(const S& c, S& out, int i) {
    c.NextToken(i, i, out, c.CText(), c.CText());
    c.SkipToAny(i, i, c.CText());
    S::Substitute(out, c, c, c);
};
template <class S>
constexpr bool kAllOf = (kToInt<S> && kMid<S> && kOrders<S> && kGrowStep<S> && kAssignLeft<S> &&
                         kIsEmpty<S> && kSearches<S> && kTokenizes<S>);
template <class S>
constexpr bool kNoneOf = !kToInt<S> && !kMid<S> && !kOrders<S> && !kGrowStep<S> &&
                         !kAssignLeft<S> && !kIsEmpty<S> && !kSearches<S> && !kTokenizes<S>;
static_assert(kAllOf<CStr> && kAllOf<CUStr>);
static_assert(kNoneOf<CClientStr>);
// Neither float nor unsigned converts to one form alone: both stay ambiguous for CClientStr.
template <class S, class T>
constexpr bool kAppends = requires(S& s, T t) {
    s += t;
};
static_assert(kAppends<CStr, float> && kAppends<CStr, unsigned> && kAppends<CUStr, float>);
static_assert(!kAppends<CClientStr, float> && !kAppends<CClientStr, unsigned>);
static_assert(kAppends<CClientStr, int> && kAppends<CClientStr, char>);
static_assert(std::is_same_v<decltype(std::declval<const CStr&>()[0]), const char*>);
static_assert(std::is_same_v<decltype(std::declval<const CUStr&>()[0]), const WChar*>);
static_assert(std::is_same_v<decltype(std::declval<const CClientStr&>()[0]), char>);

TEST(GrowString, TemporariesArePerClass) {
    CStr& narrow = CStr("ab") + "c";
    CClientStr& client = CClientStr("xy") + "z";
    CUStr& wide = CUStr(u"uv") + u"w";
    EXPECT_NE(static_cast<const void*>(&narrow), static_cast<const void*>(&client));
    EXPECT_STREQ(narrow.GetText(), "abc");
    EXPECT_STREQ(client.GetText(), "xyz");
    EXPECT_TRUE(wide == u"uvw");

    CStr& mid = CStr("hello").Mid(1, 3);
    CUStr& wideMid = CUStr(u"world").Mid(1, 3);
    EXPECT_STREQ(mid.GetText(), "ell");
    EXPECT_TRUE(wideMid == u"orl");
}

}  // namespace
