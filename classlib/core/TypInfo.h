// Published properties by name.
//
// Each class of the library registers the properties it publishes: ordinal ones (integers,
// Booleans, enumerations, colours), strings, sets (with the names of their elements), object
// properties and event (method) properties, each as a getter and an optional setter. A class is registered
// with its base class, so a lookup on an object finds the properties of its class and of every
// registered ancestor; the most derived registration of a name wins. Objects of unregistered
// classes (a form of the application) find the properties of their nearest registered
// ancestors.
//
// Registration, in the class's own .cpp file:
//
//   static const bool kControlProps = RegisterProperties<TControl, TComponent>([](auto& p) {
//     p.Ord("Color", &TControl::Color, &TControl::SetColor);
//     p.Str("Hint", &TControl::Hint, &TControl::SetHint);
//     p.Obj("Font", &TControl::Font);
//     p.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, {"akLeft", "akTop", "akRight", "akBottom"});
//     p.Method("OnClick", &TControl::GetOnClick, &TControl::SetOnClick);
//   });
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "classlib/core/Events.h"
#include "classlib/core/Sets.h"
#include "classlib/core/System.h"

enum class TTypeKind : std::uint8_t { Ordinal, Set, Class, Method, String };

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = TTypeKind::Ordinal;
  // Ordinal and set properties (a set as its bit pattern).
  std::function<std::int64_t(TObject*)> GetOrd;
  std::function<void(TObject*, std::int64_t)> SetOrd;  // empty when read-only
  std::vector<std::string> ElementNames;               // set elements by ordinal
  // String properties.
  std::function<std::string(TObject*)> GetStr;
  std::function<void(TObject*, const std::string&)> SetStr;  // empty when read-only
  // Object properties.
  std::function<TObject*(TObject*)> GetObj;
  std::function<void(TObject*, TObject*)> SetObj;
  // Method properties: the handler type and type-erased access to a TMethod of that type.
  const std::type_info* MethodType = nullptr;
  std::function<void(TObject*, void* methodOut)> GetMethod;
  std::function<void(TObject*, const void* methodIn)> SetMethod;

  bool Writable() const {
    switch (Kind) {
      case TTypeKind::Class: return bool(SetObj);
      case TTypeKind::Method: return bool(SetMethod);
      case TTypeKind::String: return bool(SetStr);
      default: return bool(SetOrd);
    }
  }
};

namespace typinfo_detail {
struct ClassEntry;
// Ancestry of registered classes, known without an object and through classes that are not
// registered: a null C* thrown by ThrowNull<C> is caught by CatchesNull<A> for A = C and for every
// public base A of C.
using TThrowNull = void (*)();
template <typename C>
[[noreturn]] void ThrowNull() {
  throw static_cast<C*>(nullptr);
}
template <typename C>
bool CatchesNull(TThrowNull thrower) {
  try {
    thrower();
  } catch (C*) {
    return true;
  } catch (...) {
  }
  return false;
}
// Adds (or extends) the entry of a class; `isInstance` tells whether an object is of it, `thrower`
// and `catches` are ThrowNull and CatchesNull of the class.
ClassEntry& AddClass(std::type_index type, std::function<bool(const TObject*)> isInstance, TThrowNull thrower,
                     bool (*catches)(TThrowNull));
void AddProperty(ClassEntry& entry, TPropInfo info);

template <typename V>
std::int64_t ToOrd(V v) {
  if constexpr (std::is_enum_v<V>)
    return static_cast<std::int64_t>(v);
  else if constexpr (std::is_same_v<V, bool>)
    return v ? 1 : 0;
  else
    return static_cast<std::int64_t>(v);
}
template <typename V>
V FromOrd(std::int64_t v) {
  if constexpr (std::is_same_v<V, bool>)
    return v != 0;
  else
    return static_cast<V>(v);
}
template <typename T>
using Bare = std::remove_cv_t<std::remove_reference_t<T>>;
}  // namespace typinfo_detail

// Collects the properties of class C during registration.
template <typename C>
class TPropertyRegistrar {
 public:
  explicit TPropertyRegistrar(typinfo_detail::ClassEntry& entry) : Entry_(entry) {}

  // Ordinal: integer, Boolean, enumeration or colour; getter returns V, setter takes V.
  template <typename G, typename S = std::nullptr_t>
  void Ord(std::string name, G getter, S setter = nullptr) {
    using V = typinfo_detail::Bare<decltype((std::declval<C*>()->*getter)())>;
    TPropInfo p;
    p.Name = std::move(name);
    p.Kind = TTypeKind::Ordinal;
    p.GetOrd = [getter](TObject* o) { return typinfo_detail::ToOrd<V>((static_cast<C*>(o)->*getter)()); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>)
      p.SetOrd = [setter](TObject* o, std::int64_t v) { (static_cast<C*>(o)->*setter)(typinfo_detail::FromOrd<V>(v)); };
    typinfo_detail::AddProperty(Entry_, std::move(p));
  }

  // String: getter returns a string (or a reference to one), setter takes one. A string field
  // (`&C::Field`, no setter) is read and written directly.
  template <typename G, typename S = std::nullptr_t>
  void Str(std::string name, G getter, S setter = nullptr) {
    TPropInfo p;
    p.Name = std::move(name);
    p.Kind = TTypeKind::String;
    if constexpr (std::is_member_object_pointer_v<G>) {
      static_assert(std::is_same_v<S, std::nullptr_t>, "a string field is its own setter");
      p.GetStr = [getter](TObject* o) { return std::string(static_cast<C*>(o)->*getter); };
      p.SetStr = [getter](TObject* o, const std::string& v) { static_cast<C*>(o)->*getter = v; };
    } else {
      p.GetStr = [getter](TObject* o) { return std::string((static_cast<C*>(o)->*getter)()); };
      if constexpr (!std::is_same_v<S, std::nullptr_t>)
        p.SetStr = [setter](TObject* o, const std::string& v) { (static_cast<C*>(o)->*setter)(v); };
    }
    typinfo_detail::AddProperty(Entry_, std::move(p));
  }

  // Set: getter returns TSet<E>; element names by ordinal.
  template <typename G, typename S = std::nullptr_t>
  void Set(std::string name, G getter, S setter, std::initializer_list<const char*> elements) {
    using V = typinfo_detail::Bare<decltype((std::declval<C*>()->*getter)())>;
    TPropInfo p;
    p.Name = std::move(name);
    p.Kind = TTypeKind::Set;
    for (const char* e : elements) p.ElementNames.emplace_back(e);
    p.GetOrd = [getter](TObject* o) { return static_cast<std::int64_t>((static_cast<C*>(o)->*getter)().ToBits()); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>)
      p.SetOrd = [setter](TObject* o, std::int64_t v) {
        (static_cast<C*>(o)->*setter)(V::FromBits(static_cast<typename V::Bits>(v)));
      };
    typinfo_detail::AddProperty(Entry_, std::move(p));
  }

  // Object: getter returns a pointer to a TObject descendant; setter (optional) takes one.
  template <typename G, typename S = std::nullptr_t>
  void Obj(std::string name, G getter, S setter = nullptr) {
    using P = typinfo_detail::Bare<decltype((std::declval<C*>()->*getter)())>;
    using T = std::remove_pointer_t<P>;
    TPropInfo p;
    p.Name = std::move(name);
    p.Kind = TTypeKind::Class;
    p.GetObj = [getter](TObject* o) -> TObject* { return (static_cast<C*>(o)->*getter)(); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>)
      p.SetObj = [setter](TObject* o, TObject* v) {
        T* typed = dynamic_cast<T*>(v);
        if (v == nullptr || typed != nullptr) (static_cast<C*>(o)->*setter)(typed);
      };
    typinfo_detail::AddProperty(Entry_, std::move(p));
  }

  // Event: getter returns a TMethod<Sig>, setter takes one.
  template <typename G, typename S = std::nullptr_t>
  void Method(std::string name, G getter, S setter = nullptr) {
    using M = typinfo_detail::Bare<decltype((std::declval<C*>()->*getter)())>;
    TPropInfo p;
    p.Name = std::move(name);
    p.Kind = TTypeKind::Method;
    p.MethodType = &typeid(M);
    p.GetMethod = [getter](TObject* o, void* out) { *static_cast<M*>(out) = (static_cast<C*>(o)->*getter)(); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>)
      p.SetMethod = [setter](TObject* o, const void* in) { (static_cast<C*>(o)->*setter)(*static_cast<const M*>(in)); };
    typinfo_detail::AddProperty(Entry_, std::move(p));
  }

 private:
  typinfo_detail::ClassEntry& Entry_;
};

// Registers class C (derived from Base, which need not be registered; Base = C for a root) and the
// properties `body` adds. Returns true, so the result can initialise a static.
template <typename C, typename Base, typename Body>
bool RegisterProperties(Body body) {
  static_assert(std::is_base_of_v<TObject, C> && std::is_base_of_v<Base, C>);
  auto& entry = typinfo_detail::AddClass(
      typeid(C), [](const TObject* o) { return dynamic_cast<const C*>(o) != nullptr; }, &typinfo_detail::ThrowNull<C>,
      &typinfo_detail::CatchesNull<C>);
  TPropertyRegistrar<C> registrar(entry);
  body(registrar);
  return true;
}

// Lookups. A null object or a missing property gives nullptr.
const TPropInfo* GetPropInfo(const TObject* object, std::string_view name);
// All properties of the object's class, ancestors' first, an override in its ancestor's place.
std::vector<const TPropInfo*> GetPropList(const TObject* object);

// Access by name; a missing property, or one of another kind, reads as absent (-1, nullptr, false
// or an empty string) and is not written.
// Names compare without case, as the framework's do.
bool HasPropByName(const TObject* object, std::string_view name);
int GetOrdPropByName(TObject* object, std::string_view name);
bool SetOrdPropByName(TObject* object, std::string_view name, std::int64_t value);
TObject* GetObjPropByName(TObject* object, std::string_view name);
bool SetObjPropByName(TObject* object, std::string_view name, TObject* value);
std::string GetStrPropByName(TObject* object, std::string_view name);
bool SetStrPropByName(TObject* object, std::string_view name, std::string_view value);
// Whether the set property holds the element named `element`.
bool SetPropContains(TObject* object, std::string_view name, std::string_view element);
// Includes or excludes the named element of a set property.
bool ChangeSetPropElement(TObject* object, std::string_view name, std::string_view element, bool include);

// Event properties: unassigned when missing or of another handler type.
template <typename M>
M GetMethodPropByName(TObject* object, std::string_view name) {
  M result;
  const TPropInfo* p = GetPropInfo(object, name);
  if (p && p->Kind == TTypeKind::Method && *p->MethodType == typeid(M)) p->GetMethod(object, &result);
  return result;
}
template <typename M>
bool SetMethodPropByName(TObject* object, std::string_view name, const M& value) {
  const TPropInfo* p = GetPropInfo(object, name);
  if (!p || p->Kind != TTypeKind::Method || *p->MethodType != typeid(M) || !p->SetMethod) return false;
  p->SetMethod(object, &value);
  return true;
}
