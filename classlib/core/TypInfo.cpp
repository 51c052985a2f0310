#include "classlib/core/TypInfo.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "classlib/core/SysUtils.h"

namespace typinfo_detail {

struct ClassEntry {
  std::type_index Type;
  std::function<bool(const TObject*)> IsInstance;
  TThrowNull Throw;
  bool (*Catches)(TThrowNull);
  std::vector<TPropInfo> Props;
  int Order = 0;  // registration order
};

namespace {

struct Registry {
  std::map<std::type_index, std::unique_ptr<ClassEntry>> Classes;
  // Resolved property lists by dynamic type; rebuilt after any registration.
  std::unordered_map<std::type_index, std::vector<const TPropInfo*>> Cache;
  // Whether the first class derives from (or is) the second, as found.
  std::map<std::pair<const ClassEntry*, const ClassEntry*>, bool> Derives;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

bool Derives(Registry& r, const ClassEntry& derived, const ClassEntry& base) {
  auto key = std::make_pair(&derived, &base);
  auto it = r.Derives.find(key);
  if (it == r.Derives.end()) it = r.Derives.emplace(key, base.Catches(derived.Throw)).first;
  return it->second;
}

const std::vector<const TPropInfo*>& Resolve(const TObject* object) {
  Registry& r = TheRegistry();
  std::type_index type(typeid(*object));
  auto cached = r.Cache.find(type);
  if (cached != r.Cache.end()) return cached->second;

  // The object's registered classes lie on one line of descent: each is ranked by how many of them
  // it derives from, ancestors first.
  std::vector<std::pair<int, const ClassEntry*>> matched;
  for (const auto& [t, entry] : r.Classes)
    if (entry->IsInstance(object)) matched.emplace_back(0, entry.get());
  for (auto& m : matched)
    for (const auto& other : matched) m.first += Derives(r, *m.second, *other.second) ? 1 : 0;
  std::sort(matched.begin(), matched.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second->Order < b.second->Order;
  });
  std::vector<const TPropInfo*> list;
  for (const auto& m : matched) {
    for (const TPropInfo& p : m.second->Props) {
      auto same = std::find_if(list.begin(), list.end(), [&](const TPropInfo* q) { return SameText(q->Name, p.Name); });
      if (same != list.end())
        *same = &p;  // a descendant's registration replaces its ancestor's
      else
        list.push_back(&p);
    }
  }
  return r.Cache.emplace(type, std::move(list)).first->second;
}

}  // namespace

ClassEntry& AddClass(std::type_index type, std::function<bool(const TObject*)> isInstance, TThrowNull thrower,
                     bool (*catches)(TThrowNull)) {
  Registry& r = TheRegistry();
  r.Cache.clear();
  auto it = r.Classes.find(type);
  if (it != r.Classes.end()) return *it->second;
  auto entry = std::make_unique<ClassEntry>(
      ClassEntry{type, std::move(isInstance), thrower, catches, {}, static_cast<int>(r.Classes.size())});
  return *r.Classes.emplace(type, std::move(entry)).first->second;
}

void AddProperty(ClassEntry& entry, TPropInfo info) {
  TheRegistry().Cache.clear();
  auto same = std::find_if(entry.Props.begin(), entry.Props.end(),
                           [&](const TPropInfo& q) { return SameText(q.Name, info.Name); });
  if (same != entry.Props.end())
    *same = std::move(info);
  else
    entry.Props.push_back(std::move(info));
}

}  // namespace typinfo_detail

const TPropInfo* GetPropInfo(const TObject* object, std::string_view name) {
  if (object == nullptr || name.empty()) return nullptr;
  for (const TPropInfo* p : typinfo_detail::Resolve(object))
    if (SameText(p->Name, name)) return p;
  return nullptr;
}

std::vector<const TPropInfo*> GetPropList(const TObject* object) {
  if (object == nullptr) return {};
  return typinfo_detail::Resolve(object);
}

bool HasPropByName(const TObject* object, std::string_view name) { return GetPropInfo(object, name) != nullptr; }

int GetOrdPropByName(TObject* object, std::string_view name) {
  const TPropInfo* p = GetPropInfo(object, name);
  if (p == nullptr || (p->Kind != TTypeKind::Ordinal && p->Kind != TTypeKind::Set)) return -1;
  return static_cast<int>(p->GetOrd(object));
}

bool SetOrdPropByName(TObject* object, std::string_view name, std::int64_t value) {
  const TPropInfo* p = GetPropInfo(object, name);
  if (p == nullptr || (p->Kind != TTypeKind::Ordinal && p->Kind != TTypeKind::Set) || !p->SetOrd) return false;
  p->SetOrd(object, value);
  return true;
}

TObject* GetObjPropByName(TObject* object, std::string_view name) {
  const TPropInfo* p = GetPropInfo(object, name);
  if (p == nullptr || p->Kind != TTypeKind::Class) return nullptr;
  return p->GetObj(object);
}

bool SetObjPropByName(TObject* object, std::string_view name, TObject* value) {
  const TPropInfo* p = GetPropInfo(object, name);
  if (p == nullptr || p->Kind != TTypeKind::Class || !p->SetObj) return false;
  p->SetObj(object, value);
  return true;
}

std::string GetStrPropByName(TObject* object, std::string_view name) {
  const TPropInfo* p = GetPropInfo(object, name);
  if (p == nullptr || p->Kind != TTypeKind::String) return {};
  return p->GetStr(object);
}

bool SetStrPropByName(TObject* object, std::string_view name, std::string_view value) {
  const TPropInfo* p = GetPropInfo(object, name);
  if (p == nullptr || p->Kind != TTypeKind::String || !p->SetStr) return false;
  p->SetStr(object, std::string(value));
  return true;
}

namespace {
int ElementOrdinal(const TPropInfo& p, std::string_view element) {
  for (size_t i = 0; i < p.ElementNames.size(); ++i)
    if (SameText(p.ElementNames[i], element)) return static_cast<int>(i);
  return -1;
}
}  // namespace

bool SetPropContains(TObject* object, std::string_view name, std::string_view element) {
  const TPropInfo* p = GetPropInfo(object, name);
  if (p == nullptr || p->Kind != TTypeKind::Set) return false;
  int ordinal = ElementOrdinal(*p, element);
  if (ordinal < 0) return false;
  return (static_cast<std::uint64_t>(p->GetOrd(object)) >> ordinal & 1) != 0;
}

bool ChangeSetPropElement(TObject* object, std::string_view name, std::string_view element, bool include) {
  const TPropInfo* p = GetPropInfo(object, name);
  if (p == nullptr || p->Kind != TTypeKind::Set || !p->SetOrd) return false;
  int ordinal = ElementOrdinal(*p, element);
  if (ordinal < 0) return false;
  auto bits = static_cast<std::uint64_t>(p->GetOrd(object));
  const std::uint64_t bit = std::uint64_t{1} << ordinal;
  auto updated = include ? (bits | bit) : (bits & ~bit);
  if (updated != bits) p->SetOrd(object, static_cast<std::int64_t>(updated));
  return true;
}
