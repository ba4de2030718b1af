#pragma once
#include <string>
#include <string_view>
#include <utility>

#include "GS/UniString.hpp"
#include "exchange/ExchangeDocument.hpp"

// The first annotation of an exchange document, taken from its elements as they open
// and close in document order: the first child of the document element named
// "Annotation", its point elements and their texts. The plain-document scanner and the
// full parser each read names and texts in their own encoding (UTF-8 bytes or UTF-16
// units); this alone decides what they mean, so that both find the same.
template <typename Char>
class AnnotationCollector
{
public:
    using Name = std::basic_string_view<Char>;
    using Text = std::basic_string<Char>;

    // Whether an element opening at this depth could be a point: only then do its
    // type and uuid attributes matter.
    bool PointCandidate(int depth, Name name) const
    {
        return stage_ == Stage::InAnnotation && depth == ElementDepth && Is(name, "Element");
    }

    // An element opens at depth (the document element is at 1); `point` when it is a
    // candidate of type "point", `id` its uuid if it has one. True when it opens the annotation.
    bool Open(int depth, Name name, bool point, const Text* id)
    {
        if (stage_ == Stage::BeforeAnnotation && depth == AnnotationDepth && Is(name, "Annotation"))
        {
            stage_ = Stage::InAnnotation;
            return true;
        }
        if (stage_ != Stage::InAnnotation) return false;
        if (depth == ElementDepth)
        {
            hasChildren_ = true;
            if (point) StartPoint(id);
        }
        else if (depth == ElementChildDepth && inPoint_)
        {
            StartText(name);
        }
        return false;
    }

    // A text, comment, instruction or CDATA section inside the element at depth.
    void ChildNode(int depth)
    {
        if (stage_ == Stage::InAnnotation && depth == AnnotationDepth) hasChildren_ = true;
    }

    // Where the text being read goes; null while no point's text is wanted.
    Text* Collected() { return collecting_ == Collecting::Nothing ? nullptr : &text_; }

    // The element at depth closes. True when it closes the annotation.
    bool Close(int depth)
    {
        if (stage_ != Stage::InAnnotation) return false;
        if (depth == ElementChildDepth && collecting_ != Collecting::Nothing)
        {
            (collecting_ == Collecting::Point3d ? point_.point3d : point_.origin3d) = Utf8(text_);
            collecting_ = Collecting::Nothing;
        }
        if (depth == ElementDepth && inPoint_)
        {
            annotation_.points.push_back(std::move(point_));
            inPoint_ = false;
        }
        if (depth != AnnotationDepth) return false;
        stage_ = Stage::Done;
        return true;
    }

    bool InAnnotation() const { return stage_ == Stage::InAnnotation; }
    // Whether the annotation held anything: an annotation without children is not taken.
    bool AnnotationHasChildren() const { return hasChildren_; }
    ExchangeAnnotation& Annotation() { return annotation_; }

private:
    // The document element's children.
    static constexpr int AnnotationDepth = 2;
    static constexpr int ElementDepth = AnnotationDepth + 1;
    static constexpr int ElementChildDepth = ElementDepth + 1;

    enum class Stage
    {
        BeforeAnnotation,
        InAnnotation,
        Done
    };
    // Which of a point's texts is being read.
    enum class Collecting
    {
        Nothing,
        Point3d,
        Origin3d
    };

    static bool Is(Name name, std::string_view ascii)
    {
        if (name.size() != ascii.size()) return false;
        for (std::size_t i = 0; i < ascii.size(); ++i)
            if (name[i] != static_cast<Char>(ascii[i])) return false;
        return true;
    }

    static std::string Utf8(const std::string& text) { return text; }
    static std::string Utf8(const std::u16string& text) { return GS::Utf16ToUtf8(text); }

    void StartPoint(const Text* id)
    {
        annotation_.pointSeen = true;
        inPoint_ = true;
        point_ = ExchangePoint();
        if (id != nullptr) point_.id = GS::UniString(*id);
    }

    void StartText(Name name)
    {
        if (Is(name, "Point3d"))
        {
            collecting_ = Collecting::Point3d;
        }
        else if (Is(name, "Origin3d"))
        {
            collecting_ = Collecting::Origin3d;
            annotation_.originSeen = true;
        }
        else
        {
            return;
        }
        text_.clear();
    }

    Stage stage_ = Stage::BeforeAnnotation;
    bool hasChildren_ = false;
    bool inPoint_ = false;
    Collecting collecting_ = Collecting::Nothing;
    Text text_;
    ExchangePoint point_;
    ExchangeAnnotation annotation_;
};
