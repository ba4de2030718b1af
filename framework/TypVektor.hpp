#pragma once
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "GS/Exceptions.hpp"

// The add-on's general list. Elements live in pages of eight and never move when
// the list grows, so references to elements stay valid across appends. Add reports
// failure as false instead of throwing, for callers deep inside host callbacks.
template <typename T>
class TypVektor
{
public:
    static constexpr std::uint32_t PageSize = 8;

    TypVektor() = default;
    // A failed copy destroys the elements already copied: no destructor runs for a
    // list whose constructor did not finish.
    TypVektor(const TypVektor& other)
    {
        try
        {
            Reserve(other.size_);
            for (std::uint32_t i = 0; i < other.size_; ++i) PushBack(other[i]);
        }
        catch (...)
        {
            Clear(false);
            throw;
        }
    }
    TypVektor(TypVektor&& other) noexcept { Swap(other); }
    virtual ~TypVektor() { Clear(false); }

    TypVektor& operator=(const TypVektor& other)
    {
        TypVektor copy(other);
        Swap(copy);
        return *this;
    }
    TypVektor& operator=(TypVektor&& other) noexcept
    {
        TypVektor taken(std::move(other));
        Swap(taken);
        return *this;
    }

    bool Add(const T& element)
    {
        try
        {
            PushBack(element);
            return true;
        }
        catch (...)
        {
            return false;
        }
    }

    // Reads the size once, so appending a list to itself doubles it once.
    bool AddAll(const TypVektor& other)
    {
        const std::uint32_t count = other.size_;
        for (std::uint32_t i = 0; i < count; ++i) Add(other[i]);
        return true;
    }

    std::uint32_t GetSize() const { return size_; }
    bool IsEmpty() const { return size_ == 0; }

    T& Get(std::uint32_t index)
    {
        if (index >= size_) throw GS::IllegalReferenceException();
        return (*this)[index];
    }
    const T& Get(std::uint32_t index) const
    {
        if (index >= size_) throw GS::IllegalReferenceException();
        return (*this)[index];
    }

    T& operator[](std::uint32_t index) { return *Slot(index); }
    const T& operator[](std::uint32_t index) const { return *Slot(index); }

    void Push(const T& element) { PushBack(element); }

    void Clear(bool keepCapacity = false)
    {
        for (std::uint32_t i = 0; i < size_; ++i) Slot(i)->~T();
        size_ = 0;
        if (!keepCapacity) pages_.clear();
    }

    // Later elements move up by one.
    void Insert(std::uint32_t index, const T& element)
    {
        if (index > size_) throw GS::IllegalReferenceException();
        T copy(element);
        PushBack(copy);
        for (std::uint32_t i = size_ - 1; i > index; --i) (*this)[i] = std::move((*this)[i - 1]);
        (*this)[index] = std::move(copy);
    }

    // Later elements move down by one.
    void Delete(std::uint32_t index)
    {
        if (index >= size_) throw GS::IllegalReferenceException();
        for (std::uint32_t i = index; i + 1 < size_; ++i) (*this)[i] = std::move((*this)[i + 1]);
        Slot(size_ - 1)->~T();
        --size_;
        ReleaseSparePages();
    }

    bool Contains(const T& element) const
    {
        for (std::uint32_t i = 0; i < size_; ++i)
            if ((*this)[i] == element) return true;
        return false;
    }

    // Appends a copy unless an equal element is present; false then or when the
    // append fails.
    bool AddUnique(const T& element) { return !Contains(element) && Add(element); }

    template <typename List, typename Ref>
    class Iter
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = std::remove_reference_t<Ref>*;
        using reference = Ref;
        Iter(List* list, std::uint32_t index) : list_(list), index_(index) {}
        Ref operator*() const { return (*list_)[index_]; }
        pointer operator->() const { return &(*list_)[index_]; }
        Iter& operator++()
        {
            ++index_;
            return *this;
        }
        bool operator==(const Iter& o) const { return index_ == o.index_ && list_ == o.list_; }
        bool operator!=(const Iter& o) const { return !(*this == o); }

    private:
        List* list_;
        std::uint32_t index_;
    };
    using iterator = Iter<TypVektor, T&>;
    using const_iterator = Iter<const TypVektor, const T&>;
    iterator begin() { return {this, 0}; }
    iterator end() { return {this, size_}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size_}; }

private:
    static constexpr std::size_t MinPageTable = 4;

    // Raw room for eight elements, left uninitialised: each slot is constructed when it is filled.
    struct Page
    {
        Page() {}
        alignas(T) unsigned char bytes[PageSize * sizeof(T)];
    };

    T* Slot(std::uint32_t index) const
    {
        return std::launder(reinterpret_cast<T*>(pages_[index / PageSize]->bytes) + index % PageSize);
    }

    void Reserve(std::uint32_t count)
    {
        const std::size_t pagesNeeded = (std::size_t(count) + PageSize - 1) / PageSize;
        pages_.reserve(pagesNeeded);
        while (pages_.size() < pagesNeeded) pages_.push_back(std::make_unique<Page>());
    }

    // Room for one more element: a new page when the last one is full. The page
    // table doubles when it is full, so appends stay amortised constant time; the
    // pages themselves never move. A failed allocation leaves the list as it was.
    void GrowByOne()
    {
        if (size_ < pages_.size() * PageSize) return;
        if (pages_.size() == pages_.capacity()) pages_.reserve(std::max<std::size_t>(MinPageTable, 2 * pages_.capacity()));
        pages_.push_back(std::make_unique<Page>());
    }

    // Grows first, then constructs; the size changes only when both succeeded.
    void PushBack(const T& element)
    {
        GrowByOne();
        new (Slot(size_)) T(element);
        ++size_;
    }

    void ReleaseSparePages()
    {
        const std::size_t pagesNeeded = (std::size_t(size_) + PageSize - 1) / PageSize;
        if (pages_.size() > pagesNeeded + 1) pages_.resize(pagesNeeded + 1);
    }

    void Swap(TypVektor& other) noexcept
    {
        pages_.swap(other.pages_);
        std::swap(size_, other.size_);
    }

    std::vector<std::unique_ptr<Page>> pages_;
    std::uint32_t size_ = 0;
};
