#pragma once
// Type-erased face of a buffer grid (BufferTemplate<T>). Components keep their buffers in maps
// of IBuffer*; readers recover the typed grid with bufferCast<T>() (null on a type mismatch).

#include <cstdint>

class IBuffer {
public:
    virtual ~IBuffer() = default;

    // Releases the grid's memory and the buffer object itself.
    virtual void destroy() = 0;

    virtual unsigned int getWidth() const = 0;
    virtual unsigned int getHeight() const = 0;
    virtual unsigned int getChannelNumber() const = 0;
    virtual unsigned int getID() const = 0;
    // Bytes per cell and per channel.
    virtual unsigned int getBitDepth() const = 0;
    virtual unsigned int getBitDepthPerChannel() const = 0;
    // Kilobytes (truncated) and bytes of the grid's data.
    virtual unsigned long getAllocatedMemorySize() const = 0;
    virtual unsigned long getAllocatedMemorySizeInBytes() const = 0;

    virtual void clearBuffer() = 0;
    virtual void startValidating() = 0;
    virtual void finishValidating() = 0;
    virtual void invalidate() = 0;
    virtual bool isValid() const = 0;
    virtual bool isInvalid() const = 0;
    virtual bool isValidating() const = 0;

    // Writes the grid as binary PPM images (three channels an image); throws std::logic_error
    // for a grid without channels.
    virtual void createImage(const char* name, double scale, double offset) const = 0;
    virtual void createImage(const char* name) const = 0;
};

template <class T> class BufferTemplate;

// The typed grid behind a type-erased pointer, or null when the pointer is null or of another type.
template <class T>
BufferTemplate<T>* bufferCast(IBuffer* buffer)
{
    return dynamic_cast<BufferTemplate<T>*>(buffer);
}
