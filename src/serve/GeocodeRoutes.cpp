// GET and POST /geocode: one address in the query, or a batch in the body.
#include <httplib.h>

#include <cstdio>
#include <memory>

#include "base/Utf8.h"
#include "lookup/AddressLine.h"
#include "serve/AddressAnswer.h"
#include "serve/AnswerStream.h"
#include "serve/BatchLines.h"
#include "serve/HttpError.h"
#include "serve/QueryString.h"
#include "serve/Routes.h"

namespace mrk2::serve {

namespace {

AnswerFormat formatOf(const QueryString& q, AnswerFormat otherwise) {
    auto name = q.get("format");
    if (!name)
        return otherwise;
    auto format = answerFormatNamed(*name);
    if (!format)
        throw Error(HttpError::BadRequest, "format は json, ndjson, csv, geojson のいずれかです");
    return *format;
}

void getGeocode(ServeContext& ctx, const httplib::Request& req, httplib::Response& res) {
    QueryString q(queryOf(req.target), {"address", "region", "format"});
    const auto address = q.get("address");
    if (!address || address->empty())
        throw Error(HttpError::BadRequest, "address に住所を指定して下さい");
    // Refused unread and never echoed: no address is that long.
    if (utf8::characterCount(*address) > AddressLookup::kMaxAddressCharacters)
        throw Error(HttpError::UriTooLong, inputProblemText(InputProblem::TooLong));
    if (!isValidUtf8(*address))
        throw Error(HttpError::BadRequest, inputProblemText(InputProblem::NotUtf8));
    const AnswerFormat format = formatOf(q, AnswerFormat::Json);
    AnswerStream out(format, false);
    const LookupResult r = answerAddress(ctx.shelf, q.get("region"), *address);
    res.set_content(out.begin() + out.answer(r) + out.end(), contentTypeOf(format));
}

// A batch body, kept in an unnamed temporary file while it arrives (memory stays
// bounded whatever its size, and a client that sends all before it reads is
// answered as well as one that reads as it sends), then answered a piece at a
// time as the client takes the answers.
class BatchAnswer {
  public:
    BatchAnswer(ServeContext& ctx, std::optional<std::string> region, AnswerFormat format)
        : ctx_(ctx), region_(std::move(region)), out_(format, true) {
        spool_ = std::tmpfile();
        if (!spool_)
            throw fileError(errno, "一時ファイル");
    }
    ~BatchAnswer() { std::fclose(spool_); }

    bool take(const char* data, std::size_t size) {
        return std::fwrite(data, 1, size, spool_) == size;
    }
    void rewind() { std::rewind(spool_); }

    // The next piece of the answer; false ends the connection (the client left).
    bool next(httplib::DataSink& sink) {
        ctx_.watch.allow(kPieceTime);
        std::string piece = started_ ? "" : out_.begin();
        started_ = true;
        auto answer = [&](const BatchLines::Line& line) {
            LookupResult r;
            if (line.tooLong)
                r.problem = InputProblem::TooLong;
            else
                r = answerAddress(ctx_.shelf, region_, addressLineText(line.text, !lineSeen_));
            lineSeen_ = true;
            piece += out_.answer(r);
        };
        char buffer[16 * 1024];
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, spool_);
        lines_.feed(std::string_view(buffer, n), answer);
        const bool last = n < sizeof buffer;
        if (last) {
            lines_.finish(answer);
            piece += out_.end();
        }
        if (!piece.empty() && !sink.write(piece.data(), piece.size()))
            return false;
        if (last)
            sink.done();
        return true;
    }

  private:
    ServeContext& ctx_;
    std::optional<std::string> region_;
    AnswerStream out_;
    BatchLines lines_;
    std::FILE* spool_ = nullptr;
    bool started_ = false;
    bool lineSeen_ = false;
};

void postGeocode(ServeContext& ctx, const httplib::Request& req, httplib::Response& res,
                 const httplib::ContentReader& reader) {
    QueryString q(queryOf(req.target), {"region", "format"});
    const auto region = q.get("region");
    if (region)
        regionReaders(ctx.shelf, *region);  // 404 before the body is read
    const AnswerFormat format = formatOf(q, AnswerFormat::NdJson);
    const auto tooLarge = [] { return Error(HttpError::TooLarge, "本文が1GiBを超えています"); };
    if (req.has_header("Content-Length") &&
        req.get_header_value<std::uint64_t>("Content-Length") > kMaxBodyBytes)
        throw tooLarge();
    auto batch = std::make_shared<BatchAnswer>(ctx, region, format);
    const auto start = ConnectionWatch::Clock::now();
    std::size_t received = 0;
    const bool whole = reader([&](const char* data, std::size_t size) {
        received += size;
        // However long the body, it keeps coming at kMinUploadRate or is cut.
        ctx.watch.allow(start + kIdleTime + std::chrono::seconds(received / kMinUploadRate) -
                        ConnectionWatch::Clock::now());
        return received <= kMaxBodyBytes && batch->take(data, size);
    });
    if (received > kMaxBodyBytes)
        throw tooLarge();
    if (!whole)
        throw Error(HttpError::BadRequest, "本文を最後まで受け取れませんでした");
    batch->rewind();
    res.set_chunked_content_provider(
        contentTypeOf(format), [batch](std::size_t, httplib::DataSink& sink) {
            try {
                return batch->next(sink);
            } catch (const std::exception&) {
                return false;  // the answer is cut short: the client sees no end
            }
        });
}

}  // namespace

void installGeocodeRoutes(httplib::Server& server, ServeContext& ctx) {
    server.Get("/geocode", [&ctx](const httplib::Request& req, httplib::Response& res) {
        answering(res, [&] { getGeocode(ctx, req, res); });
    });
    server.Post("/geocode", [&ctx](const httplib::Request& req, httplib::Response& res,
                                   const httplib::ContentReader& reader) {
        answering(res, [&] { postGeocode(ctx, req, res, reader); });
    });
}

}  // namespace mrk2::serve
