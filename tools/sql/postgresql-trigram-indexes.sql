-- Trigram indexes for the ZQPDM search module on PostgreSQL.
--
-- The search pages find rows by conditions such as  Tcode ILIKE '%8600-01%'  (a text anywhere in
-- a column). A B-tree index cannot serve a pattern that starts with a wildcard, so on a large
-- table every such search reads the whole table. A GIN index of the column's trigrams (the
-- pg_trgm extension) serves these patterns, unchanged, for texts of three characters or more.
--
-- Usage, as a user who may create the extension (or after a superuser has created it):
--     psql -d DATABASE -f postgresql-trigram-indexes.sql
-- pdm-seed --db postgresql://... --trigram-indexes applies this same file.
--
-- Every statement may run again: an index already there is kept. Building an index blocks
-- writes to its table (not reads) while it runs; on a database in use, an administrator may add
-- CONCURRENTLY after CREATE INDEX and run the statements one by one, outside a transaction.
-- The columns are those the pages' conditions search most: codes, names, materials, standards,
-- designers and the old drawing numbers of drawings and part-list lines, and the texts of
-- documents, resource files and change orders. An index costs disk space and slows writes a
-- little; leave out what your users never search.

CREATE EXTENSION IF NOT EXISTS pg_trgm;

SET maintenance_work_mem = '256MB';

-- Drawings (title blocks): 设计零部件, 设计中零部件
CREATE INDEX IF NOT EXISTS zq_trgm_title_tcode ON ZqlomiraAll_title USING gin (Tcode gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_title_tname ON ZqlomiraAll_title USING gin (Tname gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_title_tmaterial ON ZqlomiraAll_title USING gin (Tmaterial gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_title_tdesigner ON ZqlomiraAll_title USING gin (Tdesigner gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_title_tother4 ON ZqlomiraAll_title USING gin (Tother4 gin_trgm_ops);

-- Part-list lines: 设计零部件 (part-list conditions), 批次产品
CREATE INDEX IF NOT EXISTS zq_trgm_detail_dcode ON ZqlomiraAll_detail USING gin (Dcode gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_detail_dname ON ZqlomiraAll_detail USING gin (Dname gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_detail_dmaterial ON ZqlomiraAll_detail USING gin (Dmaterial gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_detail_dstand ON ZqlomiraAll_detail USING gin (Dstand gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_detail_dother2 ON ZqlomiraAll_detail USING gin (Dother2 gin_trgm_ops);

-- Documents and resource files: 设计文档, 资源文件
CREATE INDEX IF NOT EXISTS zq_trgm_documents_code ON Documents USING gin (Code gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_documents_filename ON Documents USING gin (FileName gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_viewdoc_filename ON EngineerViewDoc USING gin (FileName gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_viewdoc_docremark ON EngineerViewDoc USING gin (DocRemark gin_trgm_ops);

-- Change orders: 更改单
CREATE INDEX IF NOT EXISTS zq_trgm_eco_remark ON ECOModifyManage USING gin (Remark gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_ecopart_partcode ON ECOModifyPart USING gin (PartCode gin_trgm_ops);

ANALYZE ZqlomiraAll_title;
ANALYZE ZqlomiraAll_detail;
ANALYZE Documents;
ANALYZE EngineerViewDoc;
ANALYZE ECOModifyManage;
ANALYZE ECOModifyPart;
