#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Windows shortcut files built byte by byte from the published layout of the
// shell link format: a 76-byte header, an optional item list, and the link
// information naming the target by drive (volume and local base path) or by
// network share (common network relative link), plus the common path suffix.
class ShortcutBuilder {
public:
    // Where the target lies: a local base path ("C:\sounds\") or a share
    // ("\\host\share"), and the suffix after it.
    std::string localBase;
    std::string netName;
    std::string suffix;
    // Writes the strings as UTF-16 too (a header of 0x24 bytes).
    bool unicode = false;
    // An item list before the link information, which the reader must skip.
    bool withItemList = true;

    std::vector<std::uint8_t> Build() const
    {
        std::vector<std::uint8_t> out;
        U32(out, 0x4C);
        const std::uint8_t classId[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
        out.insert(out.end(), classId, classId + 16);
        std::uint32_t flags = 0x2; // HasLinkInfo
        if (withItemList) {
            flags |= 0x1;
        }
        if (unicode) {
            flags |= 0x80;
        }
        U32(out, flags);
        U32(out, 0x20);                   // archive
        out.insert(out.end(), 24, 0x11);  // three file times
        U32(out, 1234);                   // file size
        U32(out, 0);                      // icon index
        U32(out, 1);                      // show normal
        out.insert(out.end(), 2 + 2 + 4 + 4, 0);
        if (withItemList) {
            const std::vector<std::uint8_t> items = {0x14, 0x00, 0x1F, 0x50, 0xE0, 0x4F, 0xD0, 0x20, 0xEA,
                                                     0x3A, 0x69, 0x10, 0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30,
                                                     0x30, 0x9D, 0x00, 0x00};
            U16(out, static_cast<std::uint32_t>(items.size()));
            out.insert(out.end(), items.begin(), items.end());
        }
        const std::vector<std::uint8_t> info = LinkInfo();
        out.insert(out.end(), info.begin(), info.end());
        U32(out, 0); // terminal block
        return out;
    }

private:
    static void U16(std::vector<std::uint8_t>& out, std::uint32_t v)
    {
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    static void U32(std::vector<std::uint8_t>& out, std::uint32_t v)
    {
        U16(out, v & 0xFFFF);
        U16(out, v >> 16);
    }
    static void Set32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i) {
            out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
        }
    }
    static void Ansi(std::vector<std::uint8_t>& out, const std::string& text)
    {
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(0);
    }
    // UTF-8 to UTF-16LE, enough for the test texts (BMP only).
    static void Wide(std::vector<std::uint8_t>& out, const std::string& text)
    {
        for (std::size_t i = 0; i < text.size();) {
            const auto c = static_cast<unsigned char>(text[i]);
            std::uint32_t cp = c;
            std::size_t n = 1;
            if (c >= 0xE0) {
                cp = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
                     (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
                n = 3;
            } else if (c >= 0xC0) {
                cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
                n = 2;
            }
            U16(out, cp);
            i += n;
        }
        U16(out, 0);
    }

    std::vector<std::uint8_t> LinkInfo() const
    {
        const std::uint32_t headerSize = unicode ? 0x24 : 0x1C;
        std::vector<std::uint8_t> info(headerSize, 0);
        Set32(info, 4, headerSize);
        std::uint32_t flags = 0;
        if (!localBase.empty()) {
            flags |= 0x1;
            Set32(info, 12, static_cast<std::uint32_t>(info.size()));
            U32(info, 0x11); // volume id: size, drive type 3, serial, label offset, label ""
            U32(info, 3);
            U32(info, 0xCAFE);
            U32(info, 0x10);
            info.push_back(0);
            Set32(info, 16, static_cast<std::uint32_t>(info.size()));
            Ansi(info, unicode ? std::string("?") : localBase);
        }
        if (!netName.empty()) {
            flags |= 0x2;
            Set32(info, 20, static_cast<std::uint32_t>(info.size()));
            const std::size_t link = info.size();
            const std::uint32_t linkHeader = unicode ? 0x1C : 0x14;
            info.resize(info.size() + linkHeader, 0);
            Set32(info, link + 4, 0x2);            // valid network type
            Set32(info, link + 16, 0x00020000);    // provider
            Set32(info, link + 8, linkHeader);     // net name offset
            Ansi(info, unicode ? std::string("?") : netName);
            if (unicode) {
                Set32(info, link + 20, static_cast<std::uint32_t>(info.size() - link));
                Wide(info, netName);
            }
            Set32(info, link, static_cast<std::uint32_t>(info.size() - link));
        }
        Set32(info, 8, flags);
        Set32(info, 24, static_cast<std::uint32_t>(info.size()));
        Ansi(info, unicode ? std::string("?") : suffix);
        if (unicode) {
            if (!localBase.empty()) {
                Set32(info, 28, static_cast<std::uint32_t>(info.size()));
                Wide(info, localBase);
            }
            Set32(info, 32, static_cast<std::uint32_t>(info.size()));
            Wide(info, suffix);
        }
        Set32(info, 0, static_cast<std::uint32_t>(info.size()));
        return info;
    }
};
