#pragma once
// Machinery for declaring a record type once. A record's field list is an X-macro
// LIST(F, P): F(name, type, width, count) for a field or a run of like fields, and
// P(group, first, second, type, width, count) for a run of interleaved pairs. From it come
//  - the in-memory struct (GW_DECLARE_RECORD, in the record's header),
//  - the field table, the RecordType and a compile-time check that every member sits where
//    the row conversion puts it (GW_DEFINE_RECORD, in the record's source).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "store/field_map.h"
#include "store/record_file.h"
#include "store/record_type.h"

namespace gw::detail {
template <std::uint8_t Type, std::uint16_t Width>
struct ScalarOf;
template <std::uint16_t Width>
struct ScalarOf<kTextField, Width> {
    using type = std::array<char, Width>;
};
template <>
struct ScalarOf<kIntegerField, 2> {
    using type = std::int16_t;
};
template <>
struct ScalarOf<kIntegerField, 4> {
    using type = std::int32_t;
};
template <>
struct ScalarOf<kByteField, 1> {
    using type = std::uint8_t;
};
template <std::uint8_t Type, std::uint16_t Width>
using Scalar = typename ScalarOf<Type, Width>::type;
template <std::uint8_t Type, std::uint16_t Width, std::uint16_t Count>
struct MemberOf {
    using type = std::array<Scalar<Type, Width>, Count>;
};
template <std::uint8_t Type, std::uint16_t Width>
struct MemberOf<Type, Width, 1> {
    using type = Scalar<Type, Width>;
};
template <std::uint8_t Type, std::uint16_t Width, std::uint16_t Count>
using Member = typename MemberOf<Type, Width, Count>::type;
}  // namespace gw::detail

#define GW_FIELD_MEMBER(name, type, width, count) ::gw::detail::Member<type, width, count> name;
#define GW_PAIR_MEMBER(group, first, second, type, width, count) \
    struct group##Entry {                                        \
        ::gw::detail::Scalar<type, width> first;                 \
        ::gw::detail::Scalar<type, width> second;                \
    };                                                           \
    std::array<group##Entry, count> group;

#define GW_DECLARE_RECORD(Rec, LIST)          \
    struct Rec {                              \
        LIST(GW_FIELD_MEMBER, GW_PAIR_MEMBER) \
    };                                        \
    template <>                               \
    struct RecordTraits<Rec> {                \
        static const RecordType& type();      \
    };

#define GW_FIELD_SPEC(name, type, width, count) ::gw::FieldSpec{#name, type, width, count},
#define GW_PAIR_SPEC(group, first, second, type, width, count) \
    ::gw::FieldSpec{#first, type, width, count, #second},
#define GW_FIELD_CHECK(name, type, width, count)                                  \
    static_assert(offsetof(Checked, name) == ::gw::memberOffsetOf(kSpecs, #name), \
                  #name " is not where the row conversion puts it");
#define GW_PAIR_CHECK(group, first, second, type, width, count)                     \
    static_assert(offsetof(Checked, group) == ::gw::memberOffsetOf(kSpecs, #first), \
                  #group " is not where the row conversion puts it");

// In namespace gw of the record's source file.
#define GW_DEFINE_RECORD(Rec, LIST, fileName, dataLength, key)                                     \
    namespace {                                                                                    \
    constexpr FieldSpec k##Rec##Specs[] = {LIST(GW_FIELD_SPEC, GW_PAIR_SPEC)};                     \
    namespace Rec##Layout {                                                                        \
        using Checked = Rec;                                                                       \
        constexpr std::span<const FieldSpec> kSpecs{k##Rec##Specs};                                \
        LIST(GW_FIELD_CHECK, GW_PAIR_CHECK)                                                        \
        static_assert(sizeof(Checked) == recordSizeOf(kSpecs), #Rec " has padding the row lacks"); \
    }                                                                                              \
    }                                                                                              \
    const RecordType& RecordTraits<Rec>::type() {                                                  \
        static const RecordType t{#Rec, fileName, dataLength, key, k##Rec##Specs};                 \
        return t;                                                                                  \
    }
