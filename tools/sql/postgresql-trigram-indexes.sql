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
-- designers and the old drawing numbers of drawings and part-list lines, the codes and names of
-- batch products, and the texts of documents, resource files, change orders and tasks. An index costs disk space and slows writes a
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

-- Batch products: 批次产品
CREATE INDEX IF NOT EXISTS zq_trgm_ordertitle_tcode ON ZqOrderProduct_title USING gin (Tcode gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_ordertitle_tname ON ZqOrderProduct_title USING gin (Tname gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_orderdetail_dcode ON ZqOrderProduct_detail USING gin (Dcode gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_orderdetail_dname ON ZqOrderProduct_detail USING gin (Dname gin_trgm_ops);

-- Documents and resource files: 设计文档, 资源文件
CREATE INDEX IF NOT EXISTS zq_trgm_documents_documenttype ON Documents USING gin (DocumentType gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_documents_filename ON Documents USING gin (FileName gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_documents_fileremark ON Documents USING gin (FileRemark gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_viewdoc_doctype ON EngineerViewDoc USING gin (DocType gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_viewdoc_filename ON EngineerViewDoc USING gin (FileName gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_viewdoc_docremark ON EngineerViewDoc USING gin (DocRemark gin_trgm_ops);

-- Change orders: 更改单, 更改影响面
CREATE INDEX IF NOT EXISTS zq_trgm_eco_econo ON ECOModifyManage USING gin (ECONo gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_eco_remark ON ECOModifyManage USING gin (Remark gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_ecopart_partcode ON ECOModifyPart USING gin (PartCode gin_trgm_ops);

-- Tasks: 设计任务
CREATE INDEX IF NOT EXISTS zq_trgm_project_projectno ON ProjectManage USING gin (ProjectNo gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_project_projectname ON ProjectManage USING gin (ProjectName gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_teamwork_workid ON TeamWorkManage USING gin (WorkID gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_teamwork_workname ON TeamWorkManage USING gin (WorkName gin_trgm_ops);

-- The drawing list in the order the search window lists it (the DISTINCT of 设计零部件 and the
-- ORDER BY the database component gives it, NULLs first as on SQLite): the server then streams
-- the first rows at once instead of sorting every drawing first, and the list fills while the
-- rest is read. An index of this name made by an earlier version of this file kept NULLs last,
-- which that ORDER BY cannot use: it is made again.
DO $$ BEGIN IF EXISTS (SELECT 1 FROM pg_indexes WHERE schemaname = current_schema() AND indexname = 'zq_list_title' AND indexdef NOT LIKE '%NULLS FIRST%') THEN DROP INDEX zq_list_title; END IF; END $$;
CREATE INDEX IF NOT EXISTS zq_list_title ON ZqlomiraAll_title (Tcode NULLS FIRST, Tname NULLS FIRST, ProductDwgCode NULLS FIRST, TOther4 NULLS FIRST) INCLUDE (Ttime);

-- Plain B-tree indexes for the date ranges the pages add to their conditions (a search by date
-- alone, or by a text too short for trigrams). Equality conditions (a product's name by its
-- code, a change order's parts by its number) are served by the indexes a PDM database has.
CREATE INDEX IF NOT EXISTS zq_date_title_ttime ON ZqlomiraAll_title (Ttime);
CREATE INDEX IF NOT EXISTS zq_date_documents_filedate ON Documents (FileDate);
CREATE INDEX IF NOT EXISTS zq_date_eco_savedate ON ECOModifyManage (SaveDate);
CREATE INDEX IF NOT EXISTS zq_date_project_createdtime ON ProjectManage (CreatedTime);
CREATE INDEX IF NOT EXISTS zq_date_teamwork_createtime ON TeamWorkManage (CreateTime);

ANALYZE ZqlomiraAll_title;
ANALYZE ZqlomiraAll_detail;
ANALYZE Documents;
ANALYZE EngineerViewDoc;
ANALYZE ECOModifyManage;
ANALYZE ECOModifyPart;
ANALYZE ZqOrderProduct_title;
ANALYZE ZqOrderProduct_detail;
ANALYZE ProjectManage;
ANALYZE TeamWorkManage;

-- The quick search (the client's box "快速查找", zqpdm-search --quick): codes compared without
-- their separators, so "zq8600 01" finds ZQ8600-01. It asks for exactly these expressions.
CREATE INDEX IF NOT EXISTS zq_trgm_title_tcode_bare ON ZqlomiraAll_title USING gin ((translate(lower(Tcode), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_detail_dcode_bare ON ZqlomiraAll_detail USING gin ((translate(lower(Dcode), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_ordertitle_tcode_bare ON ZqOrderProduct_title USING gin ((translate(lower(Tcode), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_ordertitle_tordercode_bare ON ZqOrderProduct_title USING gin ((translate(lower(TOrdercode), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_documents_code_bare ON Documents USING gin ((translate(lower(Code), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_documents_product_bare ON Documents USING gin ((translate(lower(ProductDwgCode), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_ecomanage_econo_bare ON ECOModifyManage USING gin ((translate(lower(ECONo), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_viewdoc_itemcode_bare ON EngineerViewDoc USING gin ((translate(lower(ItemCode), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_project_projectno_bare ON ProjectManage USING gin ((translate(lower(ProjectNo), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_teamwork_workid_bare ON TeamWorkManage USING gin ((translate(lower(WorkID), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_taskaudit_projectno_bare ON TaskAuditManage USING gin ((translate(lower(ProjectNo), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_teamworkaudit_fileid_bare ON TeamWorkAudit USING gin ((translate(lower(FileID), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_teamworkresult_partcode_bare ON TeamWorkResult USING gin ((translate(lower(PartCode), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_teamworkresult_fileid_bare ON TeamWorkResult USING gin ((translate(lower(FileID), ' -_./·', '')) gin_trgm_ops);
CREATE INDEX IF NOT EXISTS zq_trgm_taskdocuments_projectno_bare ON TaskDocuments USING gin ((translate(lower(ProjectNo), ' -_./·', '')) gin_trgm_ops);

-- The expressions' statistics, which the planner reads to choose these indexes.
ANALYZE EngineerViewDoc;
ANALYZE ProjectManage;
ANALYZE TeamWorkManage;
ANALYZE TaskAuditManage;
ANALYZE TeamWorkAudit;
ANALYZE TeamWorkResult;
ANALYZE TaskDocuments;
