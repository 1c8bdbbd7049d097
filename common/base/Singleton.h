#pragma once
// The one instance of a class in this process: created on first use, freed when the process ends.
// A class writes `static CFoo* GetInstance() { return ProcessInstance<CFoo>(); }`.
#include <memory>

template <class T>
T* ProcessInstance() {
    static const std::unique_ptr<T> instance(new T());
    return instance.get();
}
