#pragma once

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

namespace orv_gd::rules
{
/// Walks the parts of a match: a type that lists its parts (a static `parts(whole)` giving them as
/// a tuple of references) is walked into, anything else is handed to the visitor whole. The
/// digest and its test walk the same lists, and memberCount lets a build check that a list names
/// every member of its aggregate.
class MatchParts
{
public:
    template <class T, class = void>
    struct Listed : std::false_type
    {
    };
    template <class T>
    struct Listed<T, std::void_t<decltype(T::parts(std::declval<T&>()))>> : std::true_type
    {
    };

    /// Hands `visit` every part of `whole` that lists no parts of its own, in the lists' order.
    template <class T, class Visit>
    static void forEach(T& whole, Visit&& visit)
    {
        using Plain = std::remove_const_t<T>;
        if constexpr (Listed<Plain>::value)
        {
            std::apply([&](auto&... part) { (forEach(part, visit), ...); }, Plain::parts(whole));
        }
        else
        {
            visit(whole);
        }
    }

    /// How many parts a type lists.
    template <class T>
    static constexpr std::size_t listed()
    {
        return std::tuple_size_v<decltype(T::parts(std::declval<T&>()))>;
    }

    /// The data members of the aggregate T: the most initialisers a brace initialisation takes.
    template <class T, std::size_t N = 0>
    static constexpr std::size_t memberCount()
    {
        if constexpr (Takes<T, std::make_index_sequence<N + 1>>::value)
        {
            return memberCount<T, N + 1>();
        }
        else
        {
            return N;
        }
    }

private:
    /// Converts to any member's type; only ever named in unevaluated code.
    struct AnyMember
    {
        template <class T>
        operator T() const;
    };
    template <class T, class Seq, class = void>
    struct Takes : std::false_type
    {
    };
    template <class T, std::size_t... I>
    struct Takes<T, std::index_sequence<I...>, std::void_t<decltype(T{(void(I), AnyMember{})...})>>
        : std::true_type
    {
    };
};
} // namespace orv_gd::rules
