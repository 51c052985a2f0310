// The root of the class library's object model.
//
// Objects live in two phases like those of the class framework the library mirrors: Create<T>()
// constructs the object and then calls the virtual AfterConstruction on the finished object, so
// overrides run with the whole object in place; Free() calls the virtual BeforeDestruction while
// the object is still whole (a window control destroys its window there, so derived window
// procedures still see the last messages) and then deletes it.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

struct TMessage;  // classlib/core/Messages.h

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  // The class-library class name ("TButton", "TForm" ...): compared exactly by the skin code and
  // used as a fallback skin section.
  virtual std::string ClassName() const { return "TObject"; }

  virtual void AfterConstruction() {}
  virtual void BeforeDestruction() {}

  // Runs BeforeDestruction and deletes the object. Safe on nullptr through FreeAndNil / ::Free.
  void Free() {
    BeforeDestruction();
    delete this;
  }

  // Message handling (see Messages.h): an override handles its messages in a switch and calls
  // its base class's Dispatch for the others; the root passes them to DefaultHandler.
  virtual void Dispatch(TMessage& message) { DefaultHandler(message); }
  virtual void DefaultHandler(TMessage&) {}

  template <typename T>
  bool Is() const {
    return dynamic_cast<const T*>(this) != nullptr;
  }
};

// Two-phase construction: the constructor, then AfterConstruction on the finished object.
template <typename T, typename... Args>
T* Create(Args&&... args) {
  T* object = new T(std::forward<Args>(args)...);
  try {
    object->AfterConstruction();
  } catch (...) {
    object->Free();
    throw;
  }
  return object;
}

inline void Free(TObject* object) {
  if (object) object->Free();
}

template <typename T>
void FreeAndNil(T*& object) {
  T* old = object;
  object = nullptr;
  if (old) old->Free();
}

// A dynamic_cast that reads like the framework's "as".
template <typename T, typename U>
T* As(U* object) {
  return dynamic_cast<T*>(object);
}

// Declares ClassName() for a class of the library; put it in the public section.
#define QV_CLASS_NAME(name) \
  std::string ClassName() const override { return #name; }
